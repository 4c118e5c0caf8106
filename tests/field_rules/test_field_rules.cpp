// What entering and leaving a field writes back and shows on its indicator,
// the numeric key filter, and the issuer state list.

#include <QByteArrayList>
#include <QTest>

#include <string>
#include <vector>

#include "rules/cp1252.h"
#include "rules/field_rules.h"
#include "rules/state_codes.h"
#include "rules/whole_number_format.h"

namespace {

// -1 where a rule leaves the indicator alone.
constexpr int kUntouched = -1;

int LookCode(Indicator look) {
    return look == Indicator::OK ? 1 : 0;
}

OctetGroupTexts Group(const QByteArrayList& octets) {
    OctetGroupTexts group;
    for (qsizetype i = 0; i < octets.size() && i < 4; ++i) {
        group[static_cast<std::size_t>(i)] = octets[i].toStdString();
    }
    return group;
}

std::vector<std::string> Lines(const QByteArrayList& lines) {
    std::vector<std::string> out;
    for (const QByteArray& line : lines) {
        out.push_back(line.toStdString());
    }
    return out;
}

QByteArray Bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}

} // namespace

class TestFieldRules : public QObject {
    Q_OBJECT

private slots:
    void keyFilter_data();
    void keyFilter();
    void formatWholeNumber_data();
    void formatWholeNumber();
    void numberFieldOnEnter_data();
    void numberFieldOnEnter();
    void octetFieldOnExit_data();
    void octetFieldOnExit();
    void dns2LastOctetMovesFocusWhateverTheCheck_data();
    void dns2LastOctetMovesFocusWhateverTheCheck();
    void proxyPortOnExit_data();
    void proxyPortOnExit();
    void proxyCredentialOnExit_data();
    void proxyCredentialOnExit();
    void activationCodeOnExit_data();
    void activationCodeOnExit();
    void confirmationCodeOnExit_data();
    void confirmationCodeOnExit();
    void cnpjOnEnter_data();
    void cnpjOnEnter();
    void cnpjOnExit_data();
    void cnpjOnExit();
    void memoOnExit_data();
    void memoOnExit();
    void stateList_data();
    void stateList();
    void stateItemsFormAColumn();
};

void TestFieldRules::keyFilter_data() {
    QTest::addColumn<int>("character");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0") << int('0') << true;
    QTest::newRow("9") << int('9') << true;
    QTest::newRow("backspace") << 8 << true;
    QTest::newRow("enter") << 13 << true;
    QTest::newRow("letter") << int('a') << false;
    QTest::newRow("CNPJ dot") << int('.') << false;
    QTest::newRow("CNPJ slash") << int('/') << false;
    QTest::newRow("minus") << int('-') << false;
    QTest::newRow("comma") << int(',') << false;
    QTest::newRow("blank") << int(' ') << false;
    QTest::newRow("tab") << 9 << false;
    QTest::newRow("line feed") << 10 << false;
    QTest::newRow("nul") << 0 << false;
    QTest::newRow("superscript two") << 0xB2 << false;
}

void TestFieldRules::keyFilter() {
    QFETCH(int, character);
    QFETCH(bool, accepted);
    QCOMPARE(NumericFieldAcceptsKey(character), accepted);
}

void TestFieldRules::formatWholeNumber_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("minDigits");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("padded") << 7.0 << 3 << QByteArray("007");
    QTest::newRow("no leading zeros") << 7.0 << 1 << QByteArray("7");
    QTest::newRow("zero") << 0.0 << 3 << QByteArray("000");
    QTest::newRow("longer than the width") << 1234.0 << 3 << QByteArray("1234");
    QTest::newRow("half rounds away from zero") << 12.5 << 1 << QByteArray("13");
    QTest::newRow("below a half") << 12.49 << 1 << QByteArray("12");
    QTest::newRow("sign before the zeros") << -5.0 << 3 << QByteArray("-005");
    QTest::newRow("no negative zero") << -0.2 << 1 << QByteArray("0");
    QTest::newRow("fourteen digits") << 61099008000141.0 << 14 << QByteArray("61099008000141");
    QTest::newRow("fourteen with zeros") << 191.0 << 14 << QByteArray("00000000000191");
}

void TestFieldRules::formatWholeNumber() {
    QFETCH(double, value);
    QFETCH(int, minDigits);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(FormatWholeNumber(value, minDigits)), expected);
}

void TestFieldRules::numberFieldOnEnter_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("padded octet") << QByteArray("007") << QByteArray("7");
    QTest::newRow("empty") << QByteArray("") << QByteArray("0");
    QTest::newRow("zeros") << QByteArray("000") << QByteArray("0");
    QTest::newRow("plain") << QByteArray("255") << QByteArray("255");
    QTest::newRow("port") << QByteArray("0008080") << QByteArray("8080");
}

void TestFieldRules::numberFieldOnEnter() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(NumberFieldOnEnter(text.toStdString())), expected);
}

void TestFieldRules::octetFieldOnExit_data() {
    QTest::addColumn<QByteArrayList>("group");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("indicator");

    QTest::newRow("second octet only pads")
        << QByteArrayList{"192", "7", "0", "256"} << 1 << 0 << QByteArray("007") << kUntouched;
    QTest::newRow("third octet never checks")
        << QByteArrayList{"999", "1", "1", "1"} << 2 << 0 << QByteArray("001") << kUntouched;
    QTest::newRow("empty octet becomes 000")
        << QByteArrayList{"", "", "", ""} << 0 << 0 << QByteArray("000") << kUntouched;
    QTest::newRow("three digits stay")
        << QByteArrayList{"999", "", "", ""} << 0 << 0 << QByteArray("999") << kUntouched;
    QTest::newRow("fourth octet 256")
        << QByteArrayList{"192", "168", "000", "256"} << 3 << 1 << QByteArray("256") << 0;
    QTest::newRow("fourth octet 255, others empty")
        << QByteArrayList{"", "", "", "255"} << 3 << 1 << QByteArray("255") << 1;
    QTest::newRow("fourth octet empty")
        << QByteArrayList{"10", "0", "0", ""} << 3 << 2 << QByteArray("000") << 1;
    QTest::newRow("first octet out of range")
        << QByteArrayList{"300", "1", "1", "1"} << 3 << 3 << QByteArray("001") << 0;
    QTest::newRow("dns1 group") << QByteArrayList{"8", "8", "8", "8"} << 3 << 4 << QByteArray("008")
                                << 1;
    QTest::newRow("proxy group") << QByteArrayList{"10", "0", "0", "1"} << 3 << 6
                                 << QByteArray("001") << 1;
    QTest::newRow("unknown tag only pads")
        << QByteArrayList{"300", "1", "1", "1"} << 3 << 7 << QByteArray("001") << kUntouched;
    // The group is read after the write-back: what is checked is what shows.
    QTest::newRow("checked as written back")
        << QByteArrayList{"1", "1", "1", "255,4"} << 3 << 1 << QByteArray("255") << 1;
}

void TestFieldRules::octetFieldOnExit() {
    QFETCH(QByteArrayList, group);
    QFETCH(int, left);
    QFETCH(int, tag);
    QFETCH(QByteArray, text);
    QFETCH(int, indicator);

    const OctetExit exit = OctetFieldOnExit(Group(group), static_cast<std::size_t>(left), tag);
    QCOMPARE(Bytes(exit.text), text);
    QCOMPARE(exit.groupIndicator ? LookCode(*exit.groupIndicator) : kUntouched, indicator);
    QVERIFY(exit.focus == FocusMove::TabOrder);
}

void TestFieldRules::dns2LastOctetMovesFocusWhateverTheCheck_data() {
    QTest::addColumn<QByteArrayList>("group");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("indicator");
    QTest::newRow("valid") << QByteArrayList{"8", "8", "4", "4"} << QByteArray("004") << 1;
    QTest::newRow("invalid") << QByteArrayList{"8", "8", "4", "300"} << QByteArray("300") << 0;
}

void TestFieldRules::dns2LastOctetMovesFocusWhateverTheCheck() {
    QFETCH(QByteArrayList, group);
    QFETCH(QByteArray, text);
    QFETCH(int, indicator);

    const OctetExit exit = Dns2LastOctetOnExit(Group(group));
    QCOMPARE(Bytes(exit.text), text);
    QVERIFY(exit.groupIndicator.has_value());
    QCOMPARE(LookCode(*exit.groupIndicator), indicator);
    QVERIFY(exit.focus == FocusMove::ToProxyMode);
}

void TestFieldRules::proxyPortOnExit_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("indicator");
    QTest::newRow("zero") << QByteArray("0") << QByteArray("0") << 0;
    QTest::newRow("empty") << QByteArray("") << QByteArray("0") << 0;
    QTest::newRow("8080") << QByteArray("8080") << QByteArray("8080") << 1;
    QTest::newRow("leading zeros") << QByteArray("0003128") << QByteArray("3128") << 1;
    QTest::newRow("nine digits") << QByteArray("999999999") << QByteArray("999999999") << 1;
}

void TestFieldRules::proxyPortOnExit() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    QFETCH(int, indicator);
    const FieldExit exit = ProxyPortOnExit(text.toStdString());
    QCOMPARE(Bytes(exit.text), written);
    QCOMPARE(LookCode(exit.indicator), indicator);
}

void TestFieldRules::proxyCredentialOnExit_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("indicator");
    QTest::newRow("blanks around") << QByteArray("  proxy user ") << QByteArray("proxy user") << 1;
    QTest::newRow("blanks only") << QByteArray("   ") << QByteArray("") << 0;
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << 0;
    QTest::newRow("a tab is not a blank") << QByteArray("\t") << QByteArray("\t") << 1;
}

void TestFieldRules::proxyCredentialOnExit() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    QFETCH(int, indicator);
    const FieldExit exit = ProxyCredentialOnExit(text.toStdString());
    QCOMPARE(Bytes(exit.text), written);
    QCOMPARE(LookCode(exit.indicator), indicator);
}

void TestFieldRules::activationCodeOnExit_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("indicator");
    QTest::newRow("7 characters") << QByteArray("1234567") << QByteArray("1234567") << 0;
    QTest::newRow("8 characters") << QByteArray("12345678") << QByteArray("12345678") << 1;
    QTest::newRow("blanks removed before counting")
        << QByteArray("  12345678  ") << QByteArray("12345678") << 1;
    QTest::newRow("7 after trimming") << QByteArray(" 1234567 ") << QByteArray("1234567") << 0;
    QTest::newRow("32 characters") << QByteArray(32, 'a') << QByteArray(32, 'a') << 1;
    QTest::newRow("33 characters") << QByteArray(33, 'a') << QByteArray(33, 'a') << 0;
    QTest::newRow("blanks only") << QByteArray("          ") << QByteArray("") << 0;
    QTest::newRow("inner blanks count") << QByteArray("abc  def") << QByteArray("abc  def") << 1;
}

void TestFieldRules::activationCodeOnExit() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    QFETCH(int, indicator);
    const FieldExit exit = ActivationCodeOnExit(text.toStdString());
    QCOMPARE(Bytes(exit.text), written);
    QCOMPARE(LookCode(exit.indicator), indicator);
}

void TestFieldRules::confirmationCodeOnExit_data() {
    QTest::addColumn<QByteArray>("confirmation");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("indicator");
    QTest::newRow("equal") << QByteArray("Segredo123") << QByteArray("Segredo123")
                           << QByteArray("Segredo123") << 1;
    QTest::newRow("letter case differs")
        << QByteArray("segredo123") << QByteArray("Segredo123") << QByteArray("segredo123") << 0;
    QTest::newRow("equal once trimmed")
        << QByteArray(" Segredo123 ") << QByteArray("Segredo123") << QByteArray("Segredo123") << 1;
    QTest::newRow("equal but too short")
        << QByteArray("1234567") << QByteArray("1234567") << QByteArray("1234567") << 0;
    QTest::newRow("different") << QByteArray("12345678") << QByteArray("87654321")
                               << QByteArray("12345678") << 0;
}

void TestFieldRules::confirmationCodeOnExit() {
    QFETCH(QByteArray, confirmation);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, written);
    QFETCH(int, indicator);
    const FieldExit exit = ConfirmationCodeOnExit(confirmation.toStdString(), code.toStdString());
    QCOMPARE(Bytes(exit.text), written);
    QCOMPARE(LookCode(exit.indicator), indicator);
}

void TestFieldRules::cnpjOnEnter_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("masked") << QByteArray("61.099.008/0001-41") << QByteArray("61099008000141");
    QTest::newRow("bare") << QByteArray("16716114000172") << QByteArray("16716114000172");
    QTest::newRow("leading zeros go") << QByteArray("00000000000191") << QByteArray("191");
    QTest::newRow("empty") << QByteArray("") << QByteArray("0");
}

void TestFieldRules::cnpjOnEnter() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(CnpjOnEnter(text.toStdString())), expected);
}

void TestFieldRules::cnpjOnExit_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("indicator");
    QTest::newRow("taxpayer test CNPJ")
        << QByteArray("61099008000141") << QByteArray("61.099.008/0001-41") << 1;
    QTest::newRow("software house test CNPJ")
        << QByteArray("16716114000172") << QByteArray("16.716.114/0001-72") << 1;
    QTest::newRow("already masked")
        << QByteArray("61.099.008/0001-41") << QByteArray("61.099.008/0001-41") << 1;
    QTest::newRow("13 significant digits")
        << QByteArray("6123456000125") << QByteArray("06.123.456/0001-25") << 1;
    QTest::newRow("wrong check digit")
        << QByteArray("61099008000142") << QByteArray("61099008000142") << 0;
    QTest::newRow("valid but 12 significant digits")
        << QByteArray("00699059000110") << QByteArray("00699059000110") << 0;
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << 0;
    QTest::newRow("zero") << QByteArray("0") << QByteArray("0") << 0;
}

void TestFieldRules::cnpjOnExit() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    QFETCH(int, indicator);
    const FieldExit exit = CnpjOnExit(text.toStdString());
    QCOMPARE(Bytes(exit.text), written);
    QCOMPARE(LookCode(exit.indicator), indicator);
}

void TestFieldRules::memoOnExit_data() {
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("indicator");
    QTest::newRow("several lines with blanks around")
        << QByteArrayList{"  abcd", "efgh", "ijkl  "} << QByteArray("abcdefghijkl") << 1;
    QTest::newRow("inner blanks stay")
        << QByteArrayList{"abcd  ", "  efgh"} << QByteArray("abcd    efgh") << 1;
    QTest::newRow("blanks and line breaks only")
        << QByteArrayList{"   ", "", "  "} << QByteArray("") << 0;
    QTest::newRow("no lines") << QByteArrayList{} << QByteArray("") << 0;
    QTest::newRow("a tab is not a blank") << QByteArrayList{"\t"} << QByteArray("\t") << 1;
}

void TestFieldRules::memoOnExit() {
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, value);
    QFETCH(int, indicator);
    QCOMPARE(Bytes(MemoValue(Lines(lines))), value);
    QCOMPARE(LookCode(MemoOnExit(Lines(lines))), indicator);
}

void TestFieldRules::stateList_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("utf8Item");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("São Paulo") << 0 << QByteArray("São Paulo               SP") << QByteArray("35");
    QTest::newRow("Amapá") << 3 << QByteArray("Amapá                   AP") << QByteArray("16");
    QTest::newRow("Distrito Federal")
        << 7 << QByteArray("Distrito Federal        DF") << QByteArray("53");
    QTest::newRow("Paraíba before Pará")
        << 15 << QByteArray("Paraíba                 PB") << QByteArray("25");
    QTest::newRow("Pará") << 16 << QByteArray("Pará                    PA") << QByteArray("15");
    QTest::newRow("Rio Grande do Norte")
        << 20 << QByteArray("Rio Grande do Norte     RN") << QByteArray("24");
    QTest::newRow("Rondônia") << 22 << QByteArray("Rondônia                RO") << QByteArray("11");
    QTest::newRow("Tocantins") << 26 << QByteArray("Tocantins               TO")
                               << QByteArray("17");
}

void TestFieldRules::stateList() {
    QFETCH(int, index);
    QFETCH(QByteArray, utf8Item);
    QFETCH(QByteArray, code);
    const std::vector<std::string>& items = StateListItems();
    QCOMPARE(items.size(), std::size_t{27});
    QCOMPARE(Bytes(items[static_cast<std::size_t>(index)]),
             Bytes(Utf8ToCp1252(utf8Item.toStdString())));
    QCOMPARE(Bytes(StateCodeForIndex(index)), code);
}

void TestFieldRules::stateItemsFormAColumn() {
    // 24 Windows-1252 characters of name, then the abbreviation: every item
    // is 26 bytes, whatever accents its name holds.
    for (const std::string& item : StateListItems()) {
        QCOMPARE(item.size(), std::size_t{26});
        QCOMPARE(item[23], ' ');
        QVERIFY(item[24] >= 'A' && item[24] <= 'Z' && item[25] >= 'A' && item[25] <= 'Z');
    }
    QCOMPARE(Bytes(StateCodeForIndex(-1)), QByteArray());
    QCOMPARE(Bytes(StateCodeForIndex(27)), QByteArray());
}

QTEST_APPLESS_MAIN(TestFieldRules)
#include "test_field_rules.moc"
