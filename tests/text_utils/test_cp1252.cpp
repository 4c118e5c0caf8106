// The Windows-1252 <-> UTF-8 codec.

#include <QStringDecoder>
#include <QTest>

#include <string>

#include "rules/cp1252.h"

class TestCp1252 : public QObject {
    Q_OBJECT

private slots:
    void utf8ToCp1252_data();
    void utf8ToCp1252();
    void invalidUtf8GivesEmptyText_data();
    void invalidUtf8GivesEmptyText();
    void cp1252ToUtf8_data();
    void cp1252ToUtf8();
    void everyByteSurvivesTheRoundTrip();
    void definedBytesAgreeWithIcu();
    void upperCase_data();
    void upperCase();
};

void TestCp1252::utf8ToCp1252_data() {
    QTest::addColumn<std::string>("utf8");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("empty") << std::string() << std::string();
    QTest::newRow("ASCII") << std::string("SAT em opera") << std::string("SAT em opera");
    QTest::newRow("NUL kept") << std::string("a\0b", 3) << std::string("a\0b", 3);
    QTest::newRow("Latin-1 letters")
        << std::string("opera\xC3\xA7\xC3\xA3o") << std::string("opera\xE7\xE3o");
    QTest::newRow("no-break space") << std::string("\xC2\xA0") << std::string("\xA0");
    QTest::newRow("y with diaeresis") << std::string("\xC3\xBF") << std::string("\xFF");
    QTest::newRow("euro sign") << std::string("\xE2\x82\xAC") << std::string("\x80");
    QTest::newRow("low quote") << std::string("\xE2\x80\x9A") << std::string("\x82");
    QTest::newRow("f with hook") << std::string("\xC6\x92") << std::string("\x83");
    QTest::newRow("ellipsis") << std::string("\xE2\x80\xA6") << std::string("\x85");
    QTest::newRow("S caron") << std::string("\xC5\xA0") << std::string("\x8A");
    QTest::newRow("trade mark") << std::string("\xE2\x84\xA2") << std::string("\x99");
    QTest::newRow("oe ligature") << std::string("\xC5\x93") << std::string("\x9C");
    QTest::newRow("Y with diaeresis") << std::string("\xC5\xB8") << std::string("\x9F");
    QTest::newRow("undefined byte as C1 control") << std::string("\xC2\x81") << std::string("\x81");
    QTest::newRow("other C1 control is not held") << std::string("\xC2\x80") << std::string("?");
    QTest::newRow("CJK is not held") << std::string("a\xE6\x97\xA5z") << std::string("a?z");
    QTest::newRow("emoji is not held") << std::string("\xF0\x9F\x98\x80") << std::string("?");
    QTest::newRow("largest two-byte") << std::string("\xDF\xBF") << std::string("?");
    QTest::newRow("smallest three-byte") << std::string("\xE0\xA0\x80") << std::string("?");
    QTest::newRow("just below surrogates") << std::string("\xED\x9F\xBF") << std::string("?");
    QTest::newRow("just above surrogates") << std::string("\xEE\x80\x80") << std::string("?");
    QTest::newRow("largest code point") << std::string("\xF4\x8F\xBF\xBF") << std::string("?");
}

void TestCp1252::utf8ToCp1252() {
    QFETCH(std::string, utf8);
    QFETCH(std::string, expected);
    QCOMPARE(Utf8ToCp1252(utf8), expected);
}

void TestCp1252::invalidUtf8GivesEmptyText_data() {
    QTest::addColumn<std::string>("utf8");
    QTest::newRow("lone continuation byte") << std::string("\x80");
    QTest::newRow("invalid byte amid text") << std::string("abc\x80"
                                                           "def");
    QTest::newRow("cut off at the end") << std::string("a\xC3");
    QTest::newRow("three-byte cut off") << std::string("\xE2\x82");
    QTest::newRow("missing continuation") << std::string("\xC3(");
    QTest::newRow("continuation missing in the middle") << std::string("\xE2(\xAC");
    QTest::newRow("overlong slash, lead C0") << std::string("\xC0\xAF");
    QTest::newRow("overlong, lead C1") << std::string("\xC1\xBF");
    QTest::newRow("overlong three-byte") << std::string("\xE0\x80\xAF");
    QTest::newRow("overlong four-byte") << std::string("\xF0\x80\x80\xAF");
    QTest::newRow("overlong NUL") << std::string("\xC0\x80");
    QTest::newRow("first surrogate") << std::string("\xED\xA0\x80");
    QTest::newRow("last surrogate") << std::string("\xED\xBF\xBF");
    QTest::newRow("surrogate pair as CESU-8") << std::string("\xED\xA0\xBD\xED\xB8\x80");
    QTest::newRow("beyond U+10FFFF") << std::string("\xF4\x90\x80\x80");
    QTest::newRow("lead F5") << std::string("\xF5\x80\x80\x80");
    QTest::newRow("byte FE") << std::string("\xFE");
    QTest::newRow("byte FF") << std::string("\xFF");
    QTest::newRow("Windows-1252 text itself") << std::string("opera\xE7\xE3o");
}

void TestCp1252::invalidUtf8GivesEmptyText() {
    QFETCH(std::string, utf8);
    QCOMPARE(Utf8ToCp1252(utf8), std::string());
}

void TestCp1252::cp1252ToUtf8_data() {
    QTest::addColumn<std::string>("cp1252");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("empty") << std::string() << std::string();
    QTest::newRow("ASCII") << std::string("08000|OK") << std::string("08000|OK");
    QTest::newRow("accents") << std::string("n\xE3o") << std::string("n\xC3\xA3o");
    QTest::newRow("euro sign") << std::string("\x80") << std::string("\xE2\x82\xAC");
    QTest::newRow("undefined byte 0x81") << std::string("\x81") << std::string("\xC2\x81");
    QTest::newRow("undefined byte 0x9D") << std::string("\x9D") << std::string("\xC2\x9D");
    QTest::newRow("registered sign") << std::string("Vexa\xAE") << std::string("Vexa\xC2\xAE");
}

void TestCp1252::cp1252ToUtf8() {
    QFETCH(std::string, cp1252);
    QFETCH(std::string, expected);
    QCOMPARE(Cp1252ToUtf8(cp1252), expected);
}

void TestCp1252::everyByteSurvivesTheRoundTrip() {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    QCOMPARE(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

// ICU's windows-1252 table is an independent reference for the 251 bytes the
// code page defines.
void TestCp1252::definedBytesAgreeWithIcu() {
    QStringDecoder icu("windows-1252");
    if (!icu.isValid()) {
        QSKIP("this Qt has no windows-1252 decoder");
    }
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            continue;
        }
        const char byte = static_cast<char>(b);
        const QString reference = icu.decode(QByteArrayView(&byte, 1));
        QCOMPARE(QByteArray::fromStdString(Cp1252ToUtf8(std::string(1, byte))), reference.toUtf8());
    }
}

void TestCp1252::upperCase_data() {
    QTest::addColumn<char>("lower");
    QTest::addColumn<char>("upper");
    QTest::newRow("a") << 'a' << 'A';
    QTest::newRow("z") << 'z' << 'Z';
    QTest::newRow("capital stays") << 'A' << 'A';
    QTest::newRow("digit stays") << '7' << '7';
    QTest::newRow("c cedilla") << '\xE7' << '\xC7';
    QTest::newRow("a tilde") << '\xE3' << '\xC3';
    QTest::newRow("thorn") << '\xFE' << '\xDE';
    QTest::newRow("division sign stays") << '\xF7' << '\xF7';
    QTest::newRow("sharp s stays") << '\xDF' << '\xDF';
    QTest::newRow("micro sign stays") << '\xB5' << '\xB5';
    QTest::newRow("s caron") << '\x9A' << '\x8A';
    QTest::newRow("oe ligature") << '\x9C' << '\x8C';
    QTest::newRow("z caron") << '\x9E' << '\x8E';
    QTest::newRow("y diaeresis") << '\xFF' << '\x9F';
}

void TestCp1252::upperCase() {
    QFETCH(char, lower);
    QFETCH(char, upper);
    QCOMPARE(Cp1252UpperCase(lower), upper);
}

QTEST_APPLESS_MAIN(TestCp1252)
#include "test_cp1252.moc"
