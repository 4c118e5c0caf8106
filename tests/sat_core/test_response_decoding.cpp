// The pure pieces of answer decoding and display: field splitting, the quoted
// comma-separated form, Base64 payloads, the success test, the status record's
// parsing, and the date and state display rules.

#include <QRandomGenerator>
#include <QtTest>

#include "rules/cp1252.h"
#include "rules/date_time_format.h"
#include "rules/operating_state_names.h"
#include "sat/base64_field.h"
#include "sat/response_fields.h"
#include "sat/status_operacional.h"
#include "tests/sat_core/cp1252_literals.h"

class ResponseDecodingTest : public QObject {
    Q_OBJECT

private slots:
    void splitResponse_data();
    void splitResponse();
    void toQuotedCsv_data();
    void toQuotedCsv();
    void csvField_data();
    void csvField();
    void decodeBase64Field_data();
    void decodeBase64Field();
    void decodeBase64FieldMatchesReferenceDecoder();
    void foreignByteAnywhereInBlockIsSkipped();
    void payloadMatchesCharacterWiseConversion();
    void appendBase64FieldKeepsPrefix();
    void base64Payload_data();
    void base64Payload();
    void successTest_data();
    void successTest();
    void normalizaRetorno_data();
    void normalizaRetorno();
    void formataDataHora_data();
    void formataDataHora();
    void estadoOperacaoName_data();
    void estadoOperacaoName();
    void parseEstadoOperacao_data();
    void parseEstadoOperacao();
    void fillStatusOperacional_data();
    void fillStatusOperacional();
};

void ResponseDecodingTest::splitResponse_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArrayList>("fields");

    QTest::newRow("three fields padded to five")
        << QByteArray("123|08000|OK") << 5 << QByteArrayList{"123", "08000", "OK", "", ""};
    QTest::newRow("trailing separators add no field")
        << QByteArray("123|08000|OK||") << 5 << QByteArrayList{"123", "08000", "OK", "", ""};
    QTest::newRow("empty first and last")
        << QByteArray("|08000|") << 3 << QByteArrayList{"", "08000", ""};
    QTest::newRow("fields after n are not read")
        << QByteArray("a|b|c|d") << 2 << QByteArrayList{"a", "b"};
    QTest::newRow("empty answer") << QByteArray("") << 2 << QByteArrayList{"", ""};
    QTest::newRow("no separator is one field")
        << QByteArray("abc") << 3 << QByteArrayList{"abc", "", ""};
    QTest::newRow("empty middle field") << QByteArray("a||b") << 3 << QByteArrayList{"a", "", "b"};
}

void ResponseDecodingTest::splitResponse() {
    QFETCH(QByteArray, raw);
    QFETCH(int, n);
    QFETCH(QByteArrayList, fields);

    const std::vector<std::string> split =
        SplitResponse(raw.toStdString(), static_cast<std::size_t>(n));
    QByteArrayList actual;
    for (const std::string& field : split) {
        actual.append(Bytes(field));
    }
    QCOMPARE(actual, fields);
}

void ResponseDecodingTest::toQuotedCsv_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("quoted");

    QTest::newRow("three fields") << QByteArray("123|08000|OK")
                                  << QByteArray("\"123\",\"08000\",\"OK\"");
    QTest::newRow("trailing separator keeps an empty field")
        << QByteArray("7|16000|Bloqueado|") << QByteArray("\"7\",\"16000\",\"Bloqueado\",\"\"");
    QTest::newRow("decoded to Windows-1252")
        << QByteArray("Sess\xc3\xa3o|x") << QByteArray("\"Sess\xe3o\",\"x\"");
    QTest::newRow("one invalid byte empties the whole text")
        << QByteArray("1|11000|ok|\xff") << QByteArray("\"\"");
}

void ResponseDecodingTest::toQuotedCsv() {
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, quoted);
    QCOMPARE(Bytes(ToQuotedCsv(raw.toStdString())), quoted);
}

void ResponseDecodingTest::csvField_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("field");

    const QByteArray line("\"a\",\"b,c\",\"d\"");
    QTest::newRow("third") << line << 3 << QByteArray("d");
    QTest::newRow("comma inside quotes") << line << 2 << QByteArray("b,c");
    QTest::newRow("beyond the last") << line << 4 << QByteArray("");
    QTest::newRow("lone pair of quotes, second field") << QByteArray("\"\"") << 2 << QByteArray("");
    QTest::newRow("quote left open runs to the end")
        << QByteArray("\"1\",\"08,000") << 2 << QByteArray("08,000");
}

void ResponseDecodingTest::csvField() {
    QFETCH(QByteArray, line);
    QFETCH(int, n);
    QFETCH(QByteArray, field);
    QCOMPARE(Bytes(CsvField(static_cast<std::size_t>(n), line.toStdString())), field);
}

void ResponseDecodingTest::decodeBase64Field_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("decoded");

    QTest::newRow("full group") << QByteArray("TWFu") << QByteArray("Man");
    QTest::newRow("one padding") << QByteArray("TWE=") << QByteArray("Ma");
    QTest::newRow("two padding") << QByteArray("TQ==") << QByteArray("M");
    QTest::newRow("line break inside") << QByteArray("TW\r\nFu") << QByteArray("Man");
    QTest::newRow("LF becomes CR LF") << QByteArray("YQpi") << QByteArray("a\r\nb");
    QTest::newRow("CR LF becomes CR CR LF") << QByteArray("YQ0KYg==") << QByteArray("a\r\r\nb");
    QTest::newRow("three LFs in one group") << QByteArray("CgoK") << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("single character gives nothing") << QByteArray("T") << QByteArray("");
    QTest::newRow("bytes outside the alphabet skipped")
        << QByteArray("\xc3\xa9TW-Fu") << QByteArray("Man");
    // Padding followed by a line break, and padding left out, must not gain
    // zero bytes: those would cut the result text short wherever it is
    // handled as a C string.
    QTest::newRow("padding then CR LF") << QByteArray("TQ==\r\n") << QByteArray("M");
    QTest::newRow("unpadded two bytes") << QByteArray("TWE") << QByteArray("Ma");
    QTest::newRow("line feeds only, widened into a new text")
        << QByteArray("CgoK").repeated(40) << QByteArray("\r\n").repeated(120);
    QTest::newRow("LF split across slow path") << QByteArray("Y\nQpi") << QByteArray("a\r\nb");
}

void ResponseDecodingTest::decodeBase64Field() {
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, decoded);
    QCOMPARE(Bytes(DecodeBase64Field(field.toStdString())), decoded);
}

void ResponseDecodingTest::decodeBase64FieldMatchesReferenceDecoder() {
    // Random payloads of every length up to a few groups, encoded by Qt and
    // wrapped at odd line lengths, exercise the fast and the slow path alike.
    QRandomGenerator random(20151110);
    for (int length = 0; length < 200; ++length) {
        QByteArray payload(length, '\0');
        for (char& byte : payload) {
            byte = static_cast<char>(random.bounded(256));
        }
        if (length % 3 == 0) {
            payload.replace('\r', 'x'); // some runs full of LFs, none of CRs
            for (int i = 0; i < payload.size(); i += 5) {
                payload[i] = '\n';
            }
        }
        QByteArray encoded = payload.toBase64();
        // Every other payload unwrapped: whole blocks of 32 characters.
        const int wrap = length % 2 ? 3 + length % 17 : 40 + length % 57;
        for (int i = wrap; i < encoded.size(); i += wrap + 2) {
            encoded.insert(i, "\r\n");
        }
        QByteArray expected = payload;
        expected.replace("\n", "\r\n");
        QCOMPARE(Bytes(DecodeBase64Field(encoded.toStdString())), expected);
    }
}

void ResponseDecodingTest::foreignByteAnywhereInBlockIsSkipped() {
    // Blocks of 32 characters are decoded at once where the processor can:
    // every byte outside the alphabet, at every place of the first three
    // blocks, must still be skipped as the character-wise path skips it.
    QRandomGenerator random(24);
    QByteArray payload(72, '\0');
    for (char& byte : payload) {
        byte = static_cast<char>(random.bounded(256));
    }
    payload[7] = '\n';
    payload[40] = '\n';
    const QByteArray encoded = payload.toBase64(); // 96 characters, no padding
    QByteArray expected = payload;
    expected.replace("\n", "\r\n");
    const QByteArray alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int byte = 0; byte < 256; ++byte) {
        if (alphabet.contains(static_cast<char>(byte))) {
            continue;
        }
        for (int place = 0; place <= encoded.size(); ++place) {
            QByteArray field = encoded;
            field.insert(place, static_cast<char>(byte));
            const QByteArray decoded = Bytes(DecodeBase64Field(field.toStdString()));
            if (decoded != expected) {
                QFAIL(qPrintable(QStringLiteral("byte %1 at %2").arg(byte).arg(place)));
            }
        }
    }
}

void ResponseDecodingTest::payloadMatchesCharacterWiseConversion() {
    // Logs are converted sixteen bytes at a time where the processor can:
    // texts of ASCII, line ends, accented letters and other characters, in
    // every mix and at every place of a block, must come out as the
    // character-wise conversion (and its fallback for what is not UTF-8)
    // gives them.
    const QList<QByteArray> pieces = {
        "a",        "Z",        " ",        "|",        "\n",           "\r\n",
        "\xc3\xa7", "\xc3\x80", "\xc3\xbf", "\xc2\xa0", "\xe2\x82\xac", "\xc3",
        "\xa7"};
    QRandomGenerator random(1607);
    for (int round = 0; round < 3000; ++round) {
        QByteArray device;
        const int length = random.bounded(120);
        // Mostly the common characters; the last two (not UTF-8) rarely.
        const int kinds = round % 4 == 0 ? pieces.size() : pieces.size() - 2;
        while (device.size() < length) {
            device += random.bounded(3) != 0 ? pieces[0] : pieces[random.bounded(kinds)];
        }
        const std::string converted = Utf8ToCp1252(device.toStdString());
        const bool utf8 = device.isEmpty() || !converted.empty();
        QByteArray expected = utf8 ? QByteArray::fromStdString(converted) : device;
        expected.replace("\n", "\r\n");
        std::string out;
        const Base64Payload payload = AppendBase64Payload(out, device.toBase64().toStdString());
        if (Bytes(out) != expected || payload.fromUtf8 != utf8) {
            QFAIL(qPrintable(QStringLiteral("round %1: %2").arg(round).arg(device.toHex())));
        }
    }
}

void ResponseDecodingTest::appendBase64FieldKeepsPrefix() {
    std::string out = "1|15000|ok|||";
    AppendBase64Field(out, "YQpiCmMK"); // "a\nb\nc\n": widened beyond the first estimate
    QCOMPARE(Bytes(out), QByteArray("1|15000|ok|||a\r\nb\r\nc\r\n"));
}

void ResponseDecodingTest::base64Payload_data() {
    QTest::addColumn<QByteArray>("device");
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<bool>("fromUtf8");

    QTest::newRow("ASCII log, LF widened")
        << QByteArray("a|b\nc\n") << QByteArray("a|b\r\nc\r\n") << true;
    QTest::newRow("UTF-8 accents converted")
        << QByteArray("Jo\xc3\xa3o\nsess\xc3\xa3o") << QByteArray("Jo\xe3o\r\nsess\xe3o") << true;
    QTest::newRow("not UTF-8: as received")
        << QByteArray("Jo\xe3o\nsess\xe3o") << QByteArray("Jo\xe3o\r\nsess\xe3o") << false;
    QTest::newRow("UTF-8 without a Windows-1252 byte: shown as ?")
        << QByteArray("a \xe2\x86\x92 b \xe2\x82\xac") << QByteArray("a ? b \x80") << true;
    QTest::newRow("CR LF of the device")
        << QByteArray("a\r\nb\rc") << QByteArray("a\r\r\nb\rc") << true;
    QTest::newRow("empty") << QByteArray() << QByteArray() << true;
    // Longer than one piece of the writer, whose pieces must not part a CR
    // from its LF nor a character from its bytes.
    QTest::newRow("long UTF-8 log") << QByteArray("a\xc3\xa7\xc3\xa3o\r\n").repeated(50000)
                                    << QByteArray("a\xe7\xe3o\r\r\n").repeated(50000) << true;
    // The decoder works through 49152 bytes at a time: characters and line
    // ends across that edge, and faults found only in a later piece.
    const QByteArray piece(49151, 'a');
    QTest::newRow("two-byte character across pieces") << piece + "\xc3\xa7"
                                                                 "b\n"
                                                      << piece + "\xe7"
                                                                 "b\r\n"
                                                      << true;
    QTest::newRow("three-byte character across pieces") << piece.left(49150) + "\xe2\x82\xac\n"
                                                        << piece.left(49150) + "\x80\r\n"
                                                        << true;
    QTest::newRow("CR LF across pieces") << piece + "\r\nz" << piece + "\r\r\nz" << true;
    QTest::newRow("UTF-8 cut off at the very end")
        << QByteArray("abc\xc3") << QByteArray("abc\xc3") << false;
    QTest::newRow("UTF-8 cut off at the end of the first piece")
        << piece + "\xc3" << piece + "\xc3" << false;
    QTest::newRow("not UTF-8 in the middle of a long log")
        << QByteArray("a\xc3\xa7\xc3\xa3o\n").repeated(20000) + "\xe3\n" +
               QByteArray("a\xc3\xa7\xc3\xa3o\n").repeated(20000)
        << QByteArray("a\xc3\xa7\xc3\xa3o\r\n").repeated(20000) + "\xe3\r\n" +
               QByteArray("a\xc3\xa7\xc3\xa3o\r\n").repeated(20000)
        << false;
    // Each form that is not UTF-8 leaves the whole log as received.
    QTest::newRow("lead byte before ASCII") << QByteArray("ok\n\xc3"
                                                          "a\n")
                                            << QByteArray("ok\r\n\xc3"
                                                          "a\r\n")
                                            << false;
    QTest::newRow("overlong form")
        << QByteArray("a\xc0\x80\n") << QByteArray("a\xc0\x80\r\n") << false;
    QTest::newRow("surrogate") << QByteArray("a\xed\xa0\x80") << QByteArray("a\xed\xa0\x80")
                               << false;
    QTest::newRow("beyond U+10FFFF")
        << QByteArray("a\xf4\x90\x80\x80") << QByteArray("a\xf4\x90\x80\x80") << false;
    QTest::newRow("four-byte character without a Windows-1252 byte")
        << QByteArray("a\xf0\x9f\x98\x80\n") << QByteArray("a?\r\n") << true;
    QTest::newRow("stray continuation byte at the very end")
        << piece + "\xc3\xa7\xa7" << piece + "\xc3\xa7\xa7" << false;
    // More line feeds than the room kept for them: the text moves once.
    QTest::newRow("line feeds only, beyond the estimate")
        << QByteArray(200000, '\n') << QByteArray("\r\n").repeated(200000) << true;
    QTest::newRow("long log without Windows-1252 bytes, kept as sent")
        << QByteArray("\xe2\x86\x92\n").repeated(30000) << QByteArray("?\r\n").repeated(30000)
        << true;
}

void ResponseDecodingTest::base64Payload() {
    QFETCH(QByteArray, device);
    QFETCH(QByteArray, shown);
    QFETCH(bool, fromUtf8);
    const std::string prefix = "1|15000|ok|||";
    std::string out = prefix;
    const QByteArray field = device.toBase64();
    const Base64Payload payload = AppendBase64Payload(out, field.toStdString());
    QCOMPARE(Bytes(out), QByteArray::fromStdString(prefix) + shown);
    QCOMPARE(payload.begin, prefix.size());
    QCOMPARE(payload.size, static_cast<std::size_t>(shown.size()));
    QCOMPARE(payload.fromUtf8, fromUtf8);
    QCOMPARE(payload.lineFeeds, static_cast<std::size_t>(device.count('\n')));

    // The same payload in lines of 76 characters: the pieces part the bytes
    // elsewhere, the text is the same.
    QByteArray wrapped;
    for (qsizetype at = 0; at < field.size(); at += 76) {
        wrapped += field.mid(at, 76) + "\r\n";
    }
    std::string wrappedOut = prefix;
    const Base64Payload wrappedPayload = AppendBase64Payload(wrappedOut, wrapped.toStdString());
    QVERIFY(wrappedOut == out);
    QCOMPARE(wrappedPayload.fromUtf8, fromUtf8);
    QCOMPARE(wrappedPayload.lossless, payload.lossless);
    QCOMPARE(wrappedPayload.lineFeeds, payload.lineFeeds);

    // Written back exactly as the device sent it.
    QByteArray written;
    WriteDevicePayload(std::string_view(out).substr(payload.begin, payload.size), payload,
                       [&written](std::string_view piece) {
                           written.append(piece.data(), static_cast<qsizetype>(piece.size()));
                       });
    QCOMPARE(written, device);
}

void ResponseDecodingTest::successTest_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<bool>("success");
    QTest::newRow("exact") << QByteArray("08000") << true;
    QTest::newRow("tab after") << QByteArray("08000\t") << false;
    QTest::newRow("line break after") << QByteArray("08000\r\n") << false;
}

void ResponseDecodingTest::successTest() {
    QFETCH(QByteArray, code);
    QFETCH(bool, success);
    QCOMPARE(IsSuccessCode(code.toStdString(), "08000"), success);
    const std::array<std::string_view, 2> codes = {"11000", "08000"};
    QCOMPARE(IsAnySuccessCode(code.toStdString(), codes), success);
}

void ResponseDecodingTest::normalizaRetorno_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("normalised");
    QTest::newRow("two quoted fields")
        << QByteArray("\"000001\",\"08000\"") << QByteArray("000001|08000");
    QTest::newRow("empty last field") << QByteArray("\"a\",\"\"") << QByteArray("a|");
    QTest::newRow("stray quote removed") << QByteArray("x\"y") << QByteArray("xy");
}

void ResponseDecodingTest::normalizaRetorno() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, normalised);
    QCOMPARE(Bytes(NormalizaRetorno(text.toStdString())), normalised);
}

void ResponseDecodingTest::formataDataHora_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("date and time")
        << QByteArray("20151110084752") << QByteArray("10/11/2015 08:47:52");
    QTest::newRow("date only") << QByteArray("20191102") << QByteArray("02/11/2019");
    QTest::newRow("empty") << QByteArray("") << QByteArray("//");
    QTest::newRow("blank time") << QByteArray("20191102      ") << QByteArray("02/11/2019");
    QTest::newRow("year and month") << QByteArray("201911") << QByteArray("/11/2019");
    QTest::newRow("hour only") << QByteArray("2019110208") << QByteArray("02/11/2019 08::");
}

void ResponseDecodingTest::formataDataHora() {
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, shown);
    QCOMPARE(Bytes(FormataDataHora(field.toStdString())), shown);
}

void ResponseDecodingTest::estadoOperacaoName_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("0") << 0 << W("DESBLOQUEADO");
    QTest::newRow("1") << 1 << W("BLOQUEIO SEFAZ");
    QTest::newRow("2") << 2 << W("BLOQUEIO CONTRIBUINTE");
    QTest::newRow("3") << 3 << W("BLOQUEIO AUTÔNOMO");
    QTest::newRow("4") << 4 << W("BLOQUEIO PARA DESATIVAÇÃO");
    QTest::newRow("beyond the table") << 5 << QByteArray("5");
}

void ResponseDecodingTest::estadoOperacaoName() {
    QFETCH(int, estado);
    QFETCH(QByteArray, name);
    QCOMPARE(Bytes(EstadoOperacaoName(estado)), name);
}

void ResponseDecodingTest::parseEstadoOperacao_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("estado");
    QTest::newRow("digit") << QByteArray("2") << 2;
    QTest::newRow("plus") << QByteArray("+4") << 4;
    QTest::newRow("trailing blank") << QByteArray("2 ") << 0;
    QTest::newRow("line break") << QByteArray("2\r\n") << 0;
    QTest::newRow("by name") << QByteArray("BLOQUEIO SEFAZ") << 1;
    QTest::newRow("by name, UTF-8 accents")
        << QByteArray("BLOQUEIO PARA DESATIVA\xc3\x87\xc3\x83O") << 4;
    QTest::newRow("by name, lower case, no accent") << QByteArray(" bloqueio autonomo ") << 3;
    QTest::newRow("unknown name") << QByteArray("BLOQUEADO") << 0;
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999") << 0;
    QTest::newRow("two signs") << QByteArray("+-2") << 0;
}

void ResponseDecodingTest::parseEstadoOperacao() {
    QFETCH(QByteArray, field);
    QFETCH(int, estado);
    QCOMPARE(ParseEstadoOperacao(field.toStdString()), estado);
}

namespace {

// The answer of a device: 28 fields, field k holding "v<k>" except the
// header and the state.
std::string FullStatusAnswer(const char* estado) {
    std::string raw = "000042|10000|Resposta com sucesso||";
    for (int k = 6; k <= 27; ++k) {
        raw += "|v" + std::to_string(k);
    }
    return raw + "|" + estado;
}

} // namespace

void ResponseDecodingTest::fillStatusOperacional_data() {
    QTest::addColumn<QByteArray>("second");    // answer after the full one
    QTest::addColumn<QByteArrayList>("texts"); // the 27 texts afterwards
    QTest::addColumn<int>("estado");

    QByteArrayList full{"000042", "10000", "Resposta com sucesso", "", ""};
    for (int k = 6; k <= 27; ++k) {
        full.append("v" + QByteArray::number(k));
    }

    QByteArrayList refused = full;
    refused[0] = "000043";
    refused[1] = "10001";
    refused[2] = W("Código de ativação inválido");
    QTest::newRow("five-field refusal keeps fields 6 to 28")
        << QByteArray("000043|10001|C\xc3\xb3"
                      "digo de ativa\xc3\xa7\xc3\xa3o inv\xc3\xa1lido||")
        << refused << 2;

    QByteArrayList shortAnswer = full;
    shortAnswer[0] = "000044";
    shortAnswer[1] = "10098";
    QTest::newRow("two fields replace two") << QByteArray("000044|10098") << shortAnswer << 2;

    QByteArrayList invalid = full;
    invalid[5] = "";
    invalid[6] = "DHCP";
    QTest::newRow("invalid UTF-8 field becomes empty")
        << QByteArray("000042|10000|Resposta com sucesso|||\xff|DHCP") << invalid << 2;

    QTest::newRow("line break after the state gives 0")
        << Bytes(FullStatusAnswer("1\r\n")) << full << 0;
    QTest::newRow("state by name") << Bytes(FullStatusAnswer("BLOQUEIO SEFAZ")) << full << 1;
    QTest::newRow("final separator opens no field")
        << Bytes(FullStatusAnswer("1") + "|") << full << 1;

    QByteArrayList sessionOnly = full;
    sessionOnly[0] = "000044";
    QTest::newRow("session and final separator keep the code")
        << QByteArray("000044|") << sessionOnly << 2;

    // 26 fields in the standard's order, field k holding "v<k>".
    std::string raw26 = "000042|10000|Resposta com sucesso||";
    for (int k = 6; k <= 26; ++k) {
        raw26 += "|v" + std::to_string(k);
    }
    QTest::newRow("27 positional fields and a final separator keep the state")
        << Bytes(raw26 + "|v27|") << full << 2;

    QByteArrayList withoutListaFinal = full;
    withoutListaFinal[22] = ""; // LISTA_FINAL is not sent
    for (int k = 23; k <= 26; ++k) {
        withoutListaFinal[k] = "v" + QByteArray::number(k);
    }
    QTest::newRow("27 fields without LISTA_FINAL") << Bytes(raw26 + "|4") << withoutListaFinal << 4;
    QTest::newRow("27 fields without LISTA_FINAL, state by name, final separator")
        << Bytes(raw26 + "|DESBLOQUEADO|") << withoutListaFinal << 0;

    QByteArrayList dateLast = full;
    dateLast[26] = "20301231";
    QTest::newRow("27 fields ending in a date keep the positional reading")
        << Bytes(raw26 + "|20301231") << dateLast << 2;
}

void ResponseDecodingTest::fillStatusOperacional() {
    QFETCH(QByteArray, second);
    QFETCH(QByteArrayList, texts);
    QFETCH(int, estado);

    TSatStatusOperacional record;
    FillStatusOperacional(record, FullStatusAnswer("2"));
    QCOMPARE(record.EstadoOperacao, 2);
    QCOMPARE(Bytes(record.NSerie), QByteArray("v6"));
    QCOMPARE(Bytes(record.CertVencimento), QByteArray("v27"));

    FillStatusOperacional(record, second.toStdString());
    QByteArrayList actual;
    for (std::size_t k = 1; k <= kStatusOperacionalTexts; ++k) {
        actual.append(Bytes(StatusOperacionalText(record, k)));
    }
    QCOMPARE(actual, texts);
    QCOMPARE(record.EstadoOperacao, estado);
}

QTEST_APPLESS_MAIN(ResponseDecodingTest)
#include "test_response_decoding.moc"
