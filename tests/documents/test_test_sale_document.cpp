// The end-to-end test sale document and the line/text conversions that
// carry it and the sale files to the SAT library.

#include <QByteArrayList>
#include <QTest>
#include <QXmlStreamReader>

#include <string>
#include <vector>

#include "rules/line_text.h"
#include "rules/test_sale_document.h"

namespace {

QByteArrayList ByteLines(const std::vector<std::string>& lines) {
    QByteArrayList out;
    for (const std::string& line : lines) {
        out.append(QByteArray::fromStdString(line));
    }
    return out;
}

} // namespace

class TestTestSaleDocument : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void listIsEmptiedFirst();
    void textEndsEveryLineWithCrLf();
    void textIsWellFormed();
    void splitLines_data();
    void splitLines();
    void linesText_data();
    void linesText();
};

void TestTestSaleDocument::lines_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("1") << 1 << QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>)");
    QTest::newRow("5") << 5 << QByteArray("<CNPJ>16716114000172</CNPJ>");
    QTest::newRow("6") << 6
                       << QByteArray(
                              "<signAC>SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT</signAC>");
    QTest::newRow("40") << 40 << QByteArray("<vBC>50.00</vBC>");
    QTest::newRow("47") << 47 << QByteArray("<vBC>50.00</vBC>");
    QTest::newRow("53") << 53 << QByteArray("<total/>");
    QTest::newRow("57") << 57 << QByteArray("<vMP>50.00</vMP>");
    QTest::newRow("61") << 61 << QByteArray("</CFe>");
}

void TestTestSaleDocument::lines() {
    QFETCH(int, number);
    QFETCH(QByteArray, line);
    std::vector<std::string> lines;
    BuildTestSaleDocument(lines);
    QCOMPARE(lines.size(), std::size_t{61});
    QCOMPARE(QByteArray::fromStdString(lines[static_cast<std::size_t>(number - 1)]), line);
}

void TestTestSaleDocument::listIsEmptiedFirst() {
    std::vector<std::string> first;
    BuildTestSaleDocument(first);
    std::vector<std::string> reused{"stale", "lines"};
    BuildTestSaleDocument(reused);
    BuildTestSaleDocument(reused);
    QCOMPARE(ByteLines(reused), ByteLines(first));
}

void TestTestSaleDocument::textEndsEveryLineWithCrLf() {
    std::vector<std::string> lines;
    BuildTestSaleDocument(lines);
    const QByteArray text = QByteArray::fromStdString(LinesText(lines));
    QVERIFY(text.endsWith("</CFe>\r\n"));
    QCOMPARE(text.count("\r\n"), 61);
    QCOMPARE(text.count('\n'), 61);
    QCOMPARE(text.count('\r'), 61);
}

void TestTestSaleDocument::textIsWellFormed() {
    std::vector<std::string> lines;
    BuildTestSaleDocument(lines);
    QXmlStreamReader reader(QByteArray::fromStdString(LinesText(lines)));
    int items = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"det") {
            ++items;
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(items, 1);
}

void TestTestSaleDocument::splitLines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QByteArrayList{"a", "b"};
    QTest::newRow("LF, no break at the end") << QByteArray("a\nb") << QByteArrayList{"a", "b"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QByteArrayList{"a", "b"};
    QTest::newRow("empty lines kept")
        << QByteArray("a\r\n\r\n\nb") << QByteArrayList{"a", "", "", "b"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
    QTest::newRow("one break") << QByteArray("\r\n") << QByteArrayList{""};
    QTest::newRow("empty") << QByteArray("") << QByteArrayList{};
    QTest::newRow("bytes kept") << QByteArray("\xE7\xE3o\t \r\n") << QByteArrayList{"\xE7\xE3o\t "};
}

void TestTestSaleDocument::splitLines() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArrayList, lines);
    QCOMPARE(ByteLines(SplitLines(text.toStdString())), lines);
}

void TestTestSaleDocument::linesText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("LF file") << QByteArray("<CFe>\n</CFe>\n") << QByteArray("<CFe>\r\n</CFe>\r\n");
    QTest::newRow("no final break")
        << QByteArray("<CFe>\r\n</CFe>") << QByteArray("<CFe>\r\n</CFe>\r\n");
    QTest::newRow("CR LF file unchanged")
        << QByteArray("a\r\n\r\nb\r\n") << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("empty file") << QByteArray("") << QByteArray("");
}

void TestTestSaleDocument::linesText() {
    // A sale file read as lines and joined again, as the queries page sends it.
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, sent);
    QCOMPARE(QByteArray::fromStdString(LinesText(SplitLines(file.toStdString()))), sent);
}

QTEST_APPLESS_MAIN(TestTestSaleDocument)
#include "test_test_sale_document.moc"
