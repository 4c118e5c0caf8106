// The text and number utilities on Windows-1252 byte strings.

#include <QTest>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "rules/text_utils.h"

namespace {

constexpr const char* kCnpjMask = "00;000;000/0000-00";

// The plain reading of RemoveAll: delete the leftmost occurrence and search
// again from the start, until none is left.
std::string RemoveAllByRescanning(std::string s, const std::string& p) {
    for (std::size_t at = s.find(p); !p.empty() && at != std::string::npos; at = s.find(p)) {
        s.erase(at, p.size());
    }
    return s;
}

} // namespace

class TestTextUtils : public QObject {
    Q_OBJECT

private slots:
    void trimBlanks_data();
    void trimBlanks();
    void isBlank_data();
    void isBlank();
    void removeAll_data();
    void removeAll();
    void removeAllMatchesRescanning();
    void replaceAllText_data();
    void replaceAllText();
    void repeatText_data();
    void repeatText();
    void zeroPad_data();
    void zeroPad();
    void formatWithMask_data();
    void formatWithMask();
    void isValidCnpj_data();
    void isValidCnpj();
    void textToInt_data();
    void textToInt();
    void textToFloat_data();
    void textToFloat();
};

void TestTextUtils::trimBlanks_data() {
    QTest::addColumn<std::string>("input");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("empty") << std::string() << std::string();
    QTest::newRow("only blanks") << std::string("   ") << std::string();
    QTest::newRow("both ends") << std::string("  a b  ") << std::string("a b");
    QTest::newRow("trailing tab stays") << std::string("a \t") << std::string("a \t");
    QTest::newRow("leading tab stays") << std::string("\t a") << std::string("\t a");
    QTest::newRow("line breaks stay") << std::string(" \r\n ") << std::string("\r\n");
    QTest::newRow("no-break space 0xA0 stays") << std::string("\xA0x ") << std::string("\xA0x");
    QTest::newRow("embedded NUL") << std::string(" a\0b ", 5) << std::string("a\0b", 3);
}

void TestTextUtils::trimBlanks() {
    QFETCH(std::string, input);
    QFETCH(std::string, expected);
    QCOMPARE(TrimBlanks(input), expected);
}

void TestTextUtils::isBlank_data() {
    QTest::addColumn<std::string>("input");
    QTest::addColumn<bool>("expected");
    QTest::newRow("empty") << std::string() << true;
    QTest::newRow("three blanks") << std::string("   ") << true;
    QTest::newRow("lone tab") << std::string("\t") << false;
    QTest::newRow("line feed") << std::string("\n") << false;
    QTest::newRow("text") << std::string(" x ") << false;
}

void TestTextUtils::isBlank() {
    QFETCH(std::string, input);
    QFETCH(bool, expected);
    QCOMPARE(IsBlank(input), expected);
}

void TestTextUtils::removeAll_data() {
    QTest::addColumn<std::string>("input");
    QTest::addColumn<std::string>("pattern");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("CNPJ separators")
        << std::string("12-345-6") << std::string("-") << std::string("123456");
    QTest::newRow("joined pieces go too")
        << std::string("aabb") << std::string("ab") << std::string();
    QTest::newRow("nested three deep")
        << std::string("xaaabbbx") << std::string("ab") << std::string("xx");
    QTest::newRow("overlapping pattern")
        << std::string("aaa") << std::string("aa") << std::string("a");
    QTest::newRow("case-sensitive")
        << std::string("AbabAB") << std::string("ab") << std::string("AbAB");
    QTest::newRow("empty pattern") << std::string("abc") << std::string() << std::string("abc");
    QTest::newRow("pattern longer than text")
        << std::string("ab") << std::string("abc") << std::string("ab");
    QTest::newRow("empty text") << std::string() << std::string("a") << std::string();
}

void TestTextUtils::removeAll() {
    QFETCH(std::string, input);
    QFETCH(std::string, pattern);
    QFETCH(std::string, expected);
    QCOMPARE(RemoveAll(input, pattern), expected);
}

// RemoveAll works in one pass; on every text over a small alphabet it must
// give what deleting and rescanning from the start gives.
void TestTextUtils::removeAllMatchesRescanning() {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> letter(0, 2);
    std::uniform_int_distribution<int> length(0, 14);
    const std::string patterns[] = {"ab", "aba", "aa", "abc", "cab", "a", "abab"};
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        for (int i = length(random); i > 0; --i) {
            text.push_back(static_cast<char>('a' + letter(random)));
        }
        for (const std::string& pattern : patterns) {
            const std::string expected = RemoveAllByRescanning(text, pattern);
            if (RemoveAll(text, pattern) != expected) {
                QFAIL(qPrintable(QStringLiteral("RemoveAll(\"%1\", \"%2\") != \"%3\"")
                                     .arg(QString::fromStdString(text),
                                          QString::fromStdString(pattern),
                                          QString::fromStdString(expected))));
            }
        }
    }
}

void TestTextUtils::replaceAllText_data() {
    QTest::addColumn<std::string>("input");
    QTest::addColumn<std::string>("oldPattern");
    QTest::addColumn<std::string>("newPattern");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("letter case ignored")
        << std::string("XxX") << std::string("x") << std::string("y") << std::string("yyy");
    QTest::newRow("left to right, no overlap")
        << std::string("aaa") << std::string("aa") << std::string("b") << std::string("ba");
    QTest::newRow("replacement not rescanned")
        << std::string("ab") << std::string("a") << std::string("aa") << std::string("aab");
    QTest::newRow("deletion") << std::string("1,234,5") << std::string(",") << std::string()
                              << std::string("12345");
    QTest::newRow("accented capitals match") << std::string("A\xC7\xC3O") // AÇÃO
                                             << std::string("\xE7\xE3o")  // ção
                                             << std::string("-") << std::string("A-");
    QTest::newRow("empty old pattern")
        << std::string("abc") << std::string() << std::string("x") << std::string("abc");
    QTest::newRow("pattern at the very end")
        << std::string("abX") << std::string("x") << std::string("!") << std::string("ab!");
    QTest::newRow("text shorter than pattern")
        << std::string("a") << std::string("ab") << std::string("!") << std::string("a");
}

void TestTextUtils::replaceAllText() {
    QFETCH(std::string, input);
    QFETCH(std::string, oldPattern);
    QFETCH(std::string, newPattern);
    QFETCH(std::string, expected);
    QCOMPARE(ReplaceAllText(input, oldPattern, newPattern), expected);
}

void TestTextUtils::repeatText_data() {
    QTest::addColumn<std::string>("input");
    QTest::addColumn<int>("count");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("fourteen zeros") << std::string("0") << 14 << std::string(14, '0');
    QTest::newRow("several bytes") << std::string("ab") << 3 << std::string("ababab");
    QTest::newRow("zero") << std::string("x") << 0 << std::string();
    QTest::newRow("negative") << std::string("x") << -1 << std::string();
    QTest::newRow("lowest integer")
        << std::string("x") << std::numeric_limits<int>::min() << std::string();
}

void TestTextUtils::repeatText() {
    QFETCH(std::string, input);
    QFETCH(int, count);
    QFETCH(std::string, expected);
    QCOMPARE(RepeatText(input, count), expected);
}

void TestTextUtils::zeroPad_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("decimals") << 1.5 << 6 << 2 << std::string("001.50");
    QTest::newRow("whole") << 7.0 << 3 << 0 << std::string("007");
    QTest::newRow("sign after zeros") << -5.0 << 4 << 0 << std::string("00-5");
    QTest::newRow("longer than width") << 123456.0 << 3 << 0 << std::string("123456");
    QTest::newRow("fourteen-digit CNPJ")
        << 61099008000141.0 << 14 << 0 << std::string("61099008000141");
    QTest::newRow("small CNPJ padded") << 191.0 << 14 << 0 << std::string("00000000000191");
    QTest::newRow("rounded to nearest") << 2.346 << 0 << 2 << std::string("2.35");
    QTest::newRow("negative width is no width") << 7.0 << -3 << 0 << std::string("7");
    QTest::newRow("negative decimals are none") << 7.0 << 2 << -1 << std::string("07");
}

void TestTextUtils::zeroPad() {
    QFETCH(double, x);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(std::string, expected);
    QCOMPARE(ZeroPad(x, width, decimals), expected);
}

void TestTextUtils::formatWithMask_data() {
    QTest::addColumn<std::string>("mask");
    QTest::addColumn<double>("x");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("CNPJ") << std::string(kCnpjMask) << 16716114000172.0
                          << std::string("16.716.114/0001-72");
    QTest::newRow("CNPJ zero") << std::string(kCnpjMask) << 0.0
                               << std::string("00.000.000/0000-00");
    QTest::newRow("CNPJ leading zeros back")
        << std::string(kCnpjMask) << 191.0 << std::string("00.000.000/0001-91");
    QTest::newRow("thousands and decimals")
        << std::string("0,000.00") << 1234.5 << std::string("1.234,50");
    QTest::newRow("decimal comma") << std::string("000.00") << 12.5 << std::string("012,50");
    QTest::newRow("leading separator becomes blank")
        << std::string(",000") << 5.0 << std::string(" 005");
    QTest::newRow("sign before a separator")
        << std::string("0,000") << -123.0 << std::string(" -123");
}

void TestTextUtils::formatWithMask() {
    QFETCH(std::string, mask);
    QFETCH(double, x);
    QFETCH(std::string, expected);
    QCOMPARE(FormatWithMask(mask, x), expected);
}

void TestTextUtils::isValidCnpj_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<bool>("expected");
    QTest::newRow("zero counts as valid") << 0.0 << true;
    QTest::newRow("standard test CNPJ 1") << 61099008000141.0 << true;
    QTest::newRow("standard test CNPJ 2") << 16716114000172.0 << true;
    QTest::newRow("leading zeros") << 191.0 << true; // 00.000.000/0001-91
    QTest::newRow("another valid CNPJ") << 11222333000181.0 << true;
    QTest::newRow("last digit raised") << 61099008000142.0 << false;
    QTest::newRow("first check digit wrong") << 61099008000131.0 << false;
    QTest::newRow("one") << 1.0 << false;
    QTest::newRow("negative is not a CNPJ") << -61099008000141.0 << false;
    QTest::newRow("fifteen digits") << 610990080001410.0 << false;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false;
}

void TestTextUtils::isValidCnpj() {
    QFETCH(double, x);
    QFETCH(bool, expected);
    QCOMPARE(IsValidCnpj(x), expected);
}

void TestTextUtils::textToInt_data() {
    QTest::addColumn<std::string>("input");
    QTest::addColumn<int>("expected");
    const int max = std::numeric_limits<std::int32_t>::max();
    const int min = std::numeric_limits<std::int32_t>::min();
    QTest::newRow("blanks around") << std::string(" 42 ") << 42;
    QTest::newRow("stops at point") << std::string("12.5") << 12;
    QTest::newRow("stops at comma") << std::string("12,9") << 12;
    QTest::newRow("negative") << std::string("-17") << -17;
    QTest::newRow("trailing letters") << std::string("42abc") << 42;
    QTest::newRow("empty") << std::string() << 0;
    QTest::newRow("lone minus") << std::string("-") << 0;
    QTest::newRow("leading point") << std::string(".5") << 0;
    QTest::newRow("letters") << std::string("abc") << 0;
    QTest::newRow("plus sign is foreign") << std::string("+5") << 0;
    QTest::newRow("inner blank cuts") << std::string("1 2") << 1;
    QTest::newRow("leading tab is foreign") << std::string("\t5") << 0;
    QTest::newRow("double minus") << std::string("--5") << 0;
    QTest::newRow("largest") << std::string("2147483647") << max;
    QTest::newRow("just beyond largest clamps") << std::string("2147483648") << max;
    QTest::newRow("lowest") << std::string("-2147483648") << min;
    QTest::newRow("just beyond lowest clamps") << std::string("-2147483649") << min;
    QTest::newRow("thirty digits clamp") << std::string("123456789012345678901234567890") << max;
    QTest::newRow("thirty digits negative clamp")
        << std::string("-123456789012345678901234567890") << min;
    QTest::newRow("many leading zeros") << std::string(40, '0') + "7" << 7;
}

void TestTextUtils::textToInt() {
    QFETCH(std::string, input);
    QFETCH(int, expected);
    QCOMPARE(TextToInt(input), expected);
}

void TestTextUtils::textToFloat_data() {
    QTest::addColumn<std::string>("input");
    QTest::addColumn<double>("expected");
    QTest::newRow("thousands point and decimal comma") << std::string("1.234,56") << 1234.56;
    QTest::newRow("decimal comma") << std::string("12,5") << 12.5;
    QTest::newRow("lone point is decimal") << std::string("1.234") << 1.234;
    QTest::newRow("point, not thousands") << std::string("1.2") << 1.2;
    QTest::newRow("trailing letters") << std::string("192abc") << 192.0;
    QTest::newRow("empty") << std::string() << 0.0;
    QTest::newRow("letters") << std::string("abc") << 0.0;
    QTest::newRow("negative comma") << std::string("-3,5") << -3.5;
    QTest::newRow("blanks around") << std::string("  7  ") << 7.0;
    QTest::newRow("fourteen-digit CNPJ") << std::string("61099008000141") << 61099008000141.0;
    QTest::newRow("longest well-formed prefix") << std::string("1.2.3") << 1.2;
    QTest::newRow("lone minus") << std::string("-") << 0.0;
    QTest::newRow("too large is infinite")
        << "1" + std::string(400, '0') << std::numeric_limits<double>::infinity();
    QTest::newRow("too small is zero") << "0." + std::string(400, '0') + "1" << 0.0;
}

void TestTextUtils::textToFloat() {
    QFETCH(std::string, input);
    QFETCH(double, expected);
    QCOMPARE(TextToFloat(input), expected);
}

QTEST_APPLESS_MAIN(TestTextUtils)
#include "test_text_utils.moc"
