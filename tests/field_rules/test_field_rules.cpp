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

// Indicator looks in the tables; -1 where a rule leaves the indicator alone.
constexpr int kX = 0;
constexpr int kOk = 1;
constexpr int kUntouched = -1;

int LookCode(Indicator look) {
    return look == Indicator::OK ? kOk : kX;
}

OctetTexts Group(const QByteArrayList& octets) {
    OctetTexts group;
    for (qsizetype i = 0; i < octets.size() && i < 4; ++i) {
        group[static_cast<std::size_t>(i)] = octets[i].toStdString();
    }
    return group;
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
    void onEnter_data();
    void onEnter();
    void octetOnExit_data();
    void octetOnExit();
    void dns2LastOctetMovesFocusWhateverTheCheck();
    void fieldOnExit_data();
    void fieldOnExit();
    void memoOnExit_data();
    void memoOnExit();
    void stateList_data();
    void stateList();
};

void TestFieldRules::keyFilter_data() {
    QTest::addColumn<int>("character");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0") << int('0') << true;
    QTest::newRow("9") << int('9') << true;
    QTest::newRow("backspace") << 8 << true;
    QTest::newRow("enter") << 13 << true;
    QTest::newRow("letter") << int('a') << false;
    QTest::newRow("CNPJ separators") << int('.') << false;
    QTest::newRow("minus") << int('-') << false;
    QTest::newRow("tab") << 9 << false;
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
    QTest::newRow("longer than the width") << 1234.0 << 3 << QByteArray("1234");
    QTest::newRow("half rounds away from zero") << 12.5 << 1 << QByteArray("13");
    QTest::newRow("sign before the zeros") << -5.0 << 3 << QByteArray("-005");
    QTest::newRow("no negative zero") << -0.2 << 1 << QByteArray("0");
    QTest::newRow("fourteen digits") << 191.0 << 14 << QByteArray("00000000000191");
}

void TestFieldRules::formatWholeNumber() {
    QFETCH(double, value);
    QFETCH(int, minDigits);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(FormatWholeNumber(value, minDigits)), expected);
}

void TestFieldRules::onEnter_data() {
    QTest::addColumn<bool>("cnpj");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("padded octet") << false << QByteArray("007") << QByteArray("7");
    QTest::newRow("empty octet") << false << QByteArray("") << QByteArray("0");
    QTest::newRow("masked CNPJ") << true << QByteArray("61.099.008/0001-41")
                                 << QByteArray("61099008000141");
    QTest::newRow("CNPJ loses its zeros")
        << true << QByteArray("00000000000191") << QByteArray("191");
}

void TestFieldRules::onEnter() {
    QFETCH(bool, cnpj);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    const std::string entered =
        cnpj ? CnpjOnEnter(text.toStdString()) : NumberFieldOnEnter(text.toStdString());
    QCOMPARE(Bytes(entered), expected);
}

void TestFieldRules::octetOnExit_data() {
    QTest::addColumn<QByteArrayList>("group");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("indicator");

    QTest::newRow("second octet only pads")
        << QByteArrayList{"192", "7", "0", "256"} << 1 << 0 << QByteArray("007") << kUntouched;
    QTest::newRow("third octet never checks")
        << QByteArrayList{"999", "1", "1", "1"} << 2 << 0 << QByteArray("001") << kUntouched;
    QTest::newRow("fourth octet 256")
        << QByteArrayList{"192", "168", "000", "256"} << 3 << 1 << QByteArray("256") << kX;
    QTest::newRow("255, the others empty")
        << QByteArrayList{"", "", "", "255"} << 3 << 1 << QByteArray("255") << kOk;
    QTest::newRow("empty fourth octet")
        << QByteArrayList{"10", "0", "0", ""} << 3 << 2 << QByteArray("000") << kOk;
    QTest::newRow("first octet out of range")
        << QByteArrayList{"300", "1", "1", "1"} << 3 << 6 << QByteArray("001") << kX;
    QTest::newRow("unknown tag only pads")
        << QByteArrayList{"300", "1", "1", "1"} << 3 << 7 << QByteArray("001") << kUntouched;
    // The group is read after the write-back: what is checked is what shows.
    QTest::newRow("checked as written back")
        << QByteArrayList{"1", "1", "1", "255,4"} << 3 << 1 << QByteArray("255") << kOk;
}

void TestFieldRules::octetOnExit() {
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

void TestFieldRules::dns2LastOctetMovesFocusWhateverTheCheck() {
    const OctetExit valid = Dns2LastOctetOnExit(Group({"8", "8", "4", "4"}));
    QCOMPARE(Bytes(valid.text), QByteArray("004"));
    QCOMPARE(valid.groupIndicator.value_or(Indicator::X), Indicator::OK);
    QVERIFY(valid.focus == FocusMove::ToProxyMode);

    const OctetExit invalid = Dns2LastOctetOnExit(Group({"8", "8", "4", "300"}));
    QCOMPARE(invalid.groupIndicator.value_or(Indicator::OK), Indicator::X);
    QVERIFY(invalid.focus == FocusMove::ToProxyMode);
}

void TestFieldRules::fieldOnExit_data() {
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("indicator");
    const QString port = QStringLiteral("port");
    const QString credential = QStringLiteral("credential");
    const QString code = QStringLiteral("code");
    const QString confirmation = QStringLiteral("confirmation"); // of "Segredo123"
    const QString cnpj = QStringLiteral("cnpj");

    QTest::newRow("port 0") << port << QByteArray("0") << QByteArray("0") << kX;
    QTest::newRow("port empty") << port << QByteArray("") << QByteArray("0") << kX;
    QTest::newRow("port 8080") << port << QByteArray("008080") << QByteArray("8080") << kOk;
    QTest::newRow("user trimmed") << credential << QByteArray(" user ") << QByteArray("user")
                                  << kOk;
    QTest::newRow("user blanks only") << credential << QByteArray("  ") << QByteArray("") << kX;
    QTest::newRow("code of 7") << code << QByteArray("1234567") << QByteArray("1234567") << kX;
    QTest::newRow("code of 8, trimmed first")
        << code << QByteArray("  12345678 ") << QByteArray("12345678") << kOk;
    QTest::newRow("code of 7 once trimmed")
        << code << QByteArray(" 1234567 ") << QByteArray("1234567") << kX;
    QTest::newRow("code of 32") << code << QByteArray(32, 'a') << QByteArray(32, 'a') << kOk;
    QTest::newRow("code of 33") << code << QByteArray(33, 'a') << QByteArray(33, 'a') << kX;
    QTest::newRow("code of blanks") << code << QByteArray("         ") << QByteArray("") << kX;
    QTest::newRow("confirmation equal once trimmed")
        << confirmation << QByteArray(" Segredo123") << QByteArray("Segredo123") << kOk;
    QTest::newRow("confirmation in other case")
        << confirmation << QByteArray("segredo123") << QByteArray("segredo123") << kX;
    QTest::newRow("CNPJ masked") << cnpj << QByteArray("61099008000141")
                                 << QByteArray("61.099.008/0001-41") << kOk;
    QTest::newRow("CNPJ masked again")
        << cnpj << QByteArray("16.716.114/0001-72") << QByteArray("16.716.114/0001-72") << kOk;
    QTest::newRow("CNPJ of 13 digits")
        << cnpj << QByteArray("6123456000125") << QByteArray("06.123.456/0001-25") << kOk;
    QTest::newRow("CNPJ check digit wrong")
        << cnpj << QByteArray("61099008000142") << QByteArray("61099008000142") << kX;
    QTest::newRow("valid CNPJ of 12 digits")
        << cnpj << QByteArray("00699059000110") << QByteArray("00699059000110") << kX;
    QTest::newRow("CNPJ empty") << cnpj << QByteArray("") << QByteArray("") << kX;
}

void TestFieldRules::fieldOnExit() {
    QFETCH(QString, rule);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    QFETCH(int, indicator);

    const std::string typed = text.toStdString();
    FieldExit exit;
    if (rule == QStringLiteral("port")) {
        exit = ProxyPortOnExit(typed);
    } else if (rule == QStringLiteral("credential")) {
        exit = ProxyCredentialOnExit(typed);
    } else if (rule == QStringLiteral("code")) {
        exit = ActivationCodeOnExit(typed);
    } else if (rule == QStringLiteral("confirmation")) {
        exit = ConfirmationCodeOnExit(typed, "Segredo123");
    } else {
        exit = CnpjOnExit(typed);
    }
    QCOMPARE(Bytes(exit.text), written);
    QCOMPARE(LookCode(exit.indicator), indicator);
}

void TestFieldRules::memoOnExit_data() {
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("indicator");
    QTest::newRow("lines with blanks around")
        << QByteArrayList{"  abcd", "efgh", "ijkl  "} << QByteArray("abcdefghijkl") << kOk;
    QTest::newRow("inner blanks stay")
        << QByteArrayList{"abcd  ", "  efgh"} << QByteArray("abcd    efgh") << kOk;
    QTest::newRow("blanks and line breaks only")
        << QByteArrayList{"   ", "", "  "} << QByteArray("") << kX;
    QTest::newRow("no lines") << QByteArrayList{} << QByteArray("") << kX;
}

void TestFieldRules::memoOnExit() {
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, value);
    QFETCH(int, indicator);
    std::vector<std::string> memo;
    for (const QByteArray& line : lines) {
        memo.push_back(line.toStdString());
    }
    QCOMPARE(Bytes(MemoValue(memo)), value);
    QCOMPARE(LookCode(MemoOnExit(memo)), indicator);
}

void TestFieldRules::stateList_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("utf8Item");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("São Paulo") << 0 << QByteArray("São Paulo               SP") << QByteArray("35");
    QTest::newRow("Paraíba before Pará")
        << 15 << QByteArray("Paraíba                 PB") << QByteArray("25");
    QTest::newRow("Tocantins") << 26 << QByteArray("Tocantins               TO")
                               << QByteArray("17");
    QTest::newRow("outside the list") << 27 << QByteArray() << QByteArray();
    QTest::newRow("no selection") << -1 << QByteArray() << QByteArray();
}

void TestFieldRules::stateList() {
    QFETCH(int, index);
    QFETCH(QByteArray, utf8Item);
    QFETCH(QByteArray, code);
    const std::vector<std::string>& items = StateListItems();
    QCOMPARE(items.size(), std::size_t{27});
    if (index >= 0 && index < 27) {
        QCOMPARE(Bytes(items[static_cast<std::size_t>(index)]),
                 Bytes(Utf8ToCp1252(utf8Item.toStdString())));
    }
    QCOMPARE(Bytes(StateCodeForIndex(index)), code);
    // Padding counts Windows-1252 characters: accented names line up too.
    for (const std::string& item : items) {
        QCOMPARE(item.size(), std::size_t{26});
    }
}

QTEST_APPLESS_MAIN(TestFieldRules)
#include "test_field_rules.moc"
