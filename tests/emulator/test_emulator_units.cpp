// The emulator's pure pieces: encodings, registry numbers, the
// access key, amounts, addresses, the clock, the state file and the answers.

#include "emulator/access_key.h"
#include "emulator/answers.h"
#include "emulator/base64.h"
#include "emulator/decimal.h"
#include "emulator/device_clock.h"
#include "emulator/document_numbers.h"
#include "emulator/faults.h"
#include "emulator/network_config.h"
#include "emulator/sale_arithmetic.h"
#include "emulator/state_file.h"
#include "emulator/text_encoding.h"

#include <QTest>
#include <numeric>

using namespace satemu;

namespace {

QByteArray Bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}
std::string Std(const QByteArray& b) {
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

} // namespace

class TestEmulatorUnits : public QObject {
    Q_OBJECT

private slots:
    void base64RoundTrip_data();
    void base64RoundTrip();
    void base64Refuses_data();
    void base64Refuses();
    void accessKeyCheckDigit_data();
    void accessKeyCheckDigit();
    void registryNumbers_data();
    void registryNumbers();
    void decimals_data();
    void decimals();
    void centsText_data();
    void centsText();
    void itemGross_data();
    void itemGross();
    void shareInProportion_data();
    void shareInProportion();
    void addresses_data();
    void addresses();
    void deviceClock_data();
    void deviceClock();
    void windowsTextToUtf8_data();
    void windowsTextToUtf8();
    void stateFileRoundTrip();
    void damagedAnswers_data();
    void damagedAnswers();
};

void TestEmulatorUnits::base64RoundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("f") << QByteArray("f") << QByteArray("Zg==");
    QTest::newRow("fo") << QByteArray("fo") << QByteArray("Zm8=");
    QTest::newRow("foo") << QByteArray("foo") << QByteArray("Zm9v");
    QTest::newRow("foobar") << QByteArray("foobar") << QByteArray("Zm9vYmFy");
    QTest::newRow("high bytes") << QByteArray("\xff\xfe\x00\x80", 4) << QByteArray("//4AgA==");
}

void TestEmulatorUnits::base64RoundTrip() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    QCOMPARE(Bytes(Base64Encode(Std(bytes))), text);
    const auto decoded = Base64Decode(Std(text));
    QVERIFY(decoded.has_value());
    QCOMPARE(Bytes(*decoded), bytes);
}

void TestEmulatorUnits::base64Refuses_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("wrapped lines") << QByteArray("Zm9v\r\nYmFy") << true;
    QTest::newRow("outside the alphabet") << QByteArray("Zm9v*mFy") << false;
    QTest::newRow("cut group") << QByteArray("Zm9vY") << false;
    QTest::newRow("padding first") << QByteArray("=m9v") << false;
    QTest::newRow("three pads") << QByteArray("Z===") << false;
    QTest::newRow("data after padding") << QByteArray("Zg==Zm9v") << false;
}

void TestEmulatorUnits::base64Refuses() {
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QCOMPARE(Base64Decode(Std(text)).has_value(), valid);
}

void TestEmulatorUnits::accessKeyCheckDigit_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("wellFormed");
    // A real device's key, as printed on a receipt.
    QTest::newRow("real sample") << QByteArray("35150708723218000186599000040190000215133408")
                                 << true;
    QTest::newRow("sample, other digit")
        << QByteArray("35150708723218000186599000040190000215133407") << false;
    QTest::newRow("43 digits") << QByteArray("3515070872321800018659900004019000021513340")
                               << false;
    QTest::newRow("letter") << QByteArray("3515070872321800018659900004019000021513340X") << false;
}

void TestEmulatorUnits::accessKeyCheckDigit() {
    QFETCH(QByteArray, key);
    QFETCH(bool, wellFormed);
    QCOMPARE(IsWellFormedAccessKey(Std(key)), wellFormed);
    if (wellFormed) {
        AccessKeyParts parts;
        parts.uf = key.left(2).toInt();
        parts.yearMonth = Std(key.mid(2, 4));
        parts.cnpj = Std(key.mid(6, 14));
        parts.serial = Std(key.mid(22, 9));
        parts.number = key.mid(31, 6).toInt();
        parts.code = key.mid(37, 6).toInt();
        QCOMPARE(Bytes(BuildAccessKey(parts)), key);
    }
}

void TestEmulatorUnits::registryNumbers_data() {
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<bool>("cnpj");
    QTest::addColumn<bool>("cpf");
    QTest::newRow("test taxpayer") << QByteArray("61099008000141") << true << false;
    QTest::newRow("test software house") << QByteArray("16716114000172") << true << false;
    QTest::newRow("CNPJ first digit off") << QByteArray("61099008000151") << false << false;
    QTest::newRow("CNPJ second digit off") << QByteArray("61099008000142") << false << false;
    QTest::newRow("CNPJ zeros") << QByteArray(14, '0') << false << false;
    QTest::newRow("CPF") << QByteArray("52998224725") << false << true;
    QTest::newRow("CPF digit off") << QByteArray("52998224726") << false << false;
    QTest::newRow("CPF repeated") << QByteArray("11111111111") << false << false;
    QTest::newRow("CNPJ with mask") << QByteArray("61.099.008/0001-41") << false << false;
}

void TestEmulatorUnits::registryNumbers() {
    QFETCH(QByteArray, digits);
    QFETCH(bool, cnpj);
    QFETCH(bool, cpf);
    QCOMPARE(IsValidCnpj(Std(digits)), cnpj);
    QCOMPARE(IsValidCpf(Std(digits)), cpf);
}

void TestEmulatorUnits::decimals_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("minDecimals");
    QTest::addColumn<int>("maxDecimals");
    QTest::addColumn<qlonglong>("expected"); // -1: refused
    QTest::newRow("cents") << QByteArray("50.00") << 2 << 2 << 5000LL;
    QTest::newRow("price of 3 decimals as 3") << QByteArray("2.505") << 2 << 3 << 2505LL;
    QTest::newRow("price of 2 decimals as 3") << QByteArray("2.50") << 2 << 3 << 2500LL;
    QTest::newRow("too few decimals") << QByteArray("1.0") << 4 << 4 << -1LL;
    QTest::newRow("too many decimals") << QByteArray("1.00000") << 4 << 4 << -1LL;
    QTest::newRow("comma") << QByteArray("1,00") << 2 << 2 << -1LL;
    QTest::newRow("sign") << QByteArray("-1.00") << 2 << 2 << -1LL;
    QTest::newRow("point only") << QByteArray("1.") << 0 << 2 << -1LL;
    QTest::newRow("empty") << QByteArray() << 0 << 2 << -1LL;
    QTest::newRow("integer allowed") << QByteArray("7") << 0 << 2 << 700LL;
    QTest::newRow("too many digits") << QByteArray("12345678901234.00") << 2 << 2 << -1LL;
}

void TestEmulatorUnits::decimals() {
    QFETCH(QByteArray, text);
    QFETCH(int, minDecimals);
    QFETCH(int, maxDecimals);
    QFETCH(qlonglong, expected);
    const auto value = ParseDecimal(Std(text), minDecimals, maxDecimals, 13, maxDecimals);
    QCOMPARE(value ? static_cast<qlonglong>(*value) : -1LL, expected);
}

void TestEmulatorUnits::centsText_data() {
    QTest::addColumn<qlonglong>("cents");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qlonglong>("rounded"); // RoundedDivide(cents, 10)
    QTest::newRow("zero") << 0LL << QByteArray("0.00") << 0LL;
    QTest::newRow("small") << 5LL << QByteArray("0.05") << 1LL;
    QTest::newRow("large") << 123456789LL << QByteArray("1234567.89") << 12345679LL;
    QTest::newRow("negative") << -10LL << QByteArray("-0.10") << -1LL;
    QTest::newRow("negative half") << -15LL << QByteArray("-0.15") << -2LL;
}

void TestEmulatorUnits::centsText() {
    QFETCH(qlonglong, cents);
    QFETCH(QByteArray, text);
    QFETCH(qlonglong, rounded);
    QCOMPARE(Bytes(FormatCents(cents)), text);
    QCOMPARE(static_cast<qlonglong>(RoundedDivide(cents, 10)), rounded);
}

void TestEmulatorUnits::itemGross_data() {
    QTest::addColumn<qlonglong>("quantity");  // qCom x 10^4
    QTest::addColumn<qlonglong>("unitPrice"); // vUnCom x 10^3
    QTest::addColumn<qlonglong>("rounded");   // indRegra A, cents
    QTest::addColumn<qlonglong>("truncated"); // indRegra T
    // 1.2345 x 3.999 = 4.9367655
    QTest::newRow("1.2345 x 3.999") << 12345LL << 3999LL << 494LL << 493LL;
    // 3 x 2.505 = 7.515: half a cent, up or away
    QTest::newRow("half a cent") << 30000LL << 2505LL << 752LL << 751LL;
    // 0.3333 x 3.00 = 0.9999
    QTest::newRow("just below a unit") << 3333LL << 3000LL << 100LL << 99LL;
    QTest::newRow("exact") << 20000LL << 2500LL << 500LL << 500LL;
    // 0.0001 x 0.001 = 0.0000001
    QTest::newRow("smallest") << 1LL << 1LL << 0LL << 0LL;
}

void TestEmulatorUnits::itemGross() {
    QFETCH(qlonglong, quantity);
    QFETCH(qlonglong, unitPrice);
    QFETCH(qlonglong, rounded);
    QFETCH(qlonglong, truncated);
    QCOMPARE(static_cast<qlonglong>(ItemGross(quantity, unitPrice, false).value_or(-1)), rounded);
    QCOMPARE(static_cast<qlonglong>(ItemGross(quantity, unitPrice, true).value_or(-1)), truncated);
}

void TestEmulatorUnits::shareInProportion_data() {
    QTest::addColumn<QList<qlonglong>>("weights"); // net values in cents, 0: no part
    QTest::addColumn<qlonglong>("amount");
    QTest::addColumn<bool>("capped");             // a discount: no share above its item
    QTest::addColumn<QList<qlonglong>>("shares"); // empty: refused
    using L = QList<qlonglong>;
    // 7.50 x 50.00/57.50 = 6.5217 and x 7.50/57.50 = 0.9783
    QTest::newRow("two items") << L{5000, 750} << 750LL << true << L{652, 98};
    // 10.00 / 3 = 3.333 each: the cent left over to the first of equals
    QTest::newRow("thirds") << L{1000, 1000, 1000} << 1000LL << true << L{334, 333, 333};
    // 1.00 over 50.00, 7.50, 20.00: 0.65 + 0.10 + 0.26 = 1.01, the heaviest gives back
    QTest::newRow("rounded above") << L{5000, 750, 2000} << 100LL << false << L{64, 10, 26};
    QTest::newRow("service left out") << L{5000, 0, 750} << 575LL << true << L{500, 0, 75};
    QTest::newRow("whole discount") << L{5000, 750} << 5750LL << true << L{5000, 750};
    // 0.05 over ten items of 1.00: half a cent each rounds up to 0.10; the
    // five heaviest (first of equals) give one back each, none below zero
    QTest::newRow("many half cents")
        << L(10, 100) << 5LL << true << L{0, 0, 0, 0, 0, 1, 1, 1, 1, 1};
    // 2.99 over three items of 1.00: 0.9967 -> 1.00 each, 3.00; one gives back
    QTest::newRow("near the whole") << L{100, 100, 100} << 299LL << true << L{99, 100, 100};
    // an increase may pass the items' values
    QTest::newRow("increase above") << L{100, 50} << 300LL << false << L{200, 100};
    QTest::newRow("nothing to share") << L{5000} << 0LL << true << L{0};
    QTest::newRow("discount above the items") << L{100, 50} << 151LL << true << L();
    QTest::newRow("no item takes part") << L{0, 0} << 1LL << false << L();
}

void TestEmulatorUnits::shareInProportion() {
    QFETCH(QList<qlonglong>, weights);
    QFETCH(qlonglong, amount);
    QFETCH(bool, capped);
    QFETCH(QList<qlonglong>, shares);
    const std::vector<std::int64_t> in(weights.begin(), weights.end());
    const auto out = ShareInProportion(in, amount, capped);
    QCOMPARE(out ? QList<qlonglong>(out->begin(), out->end()) : QList<qlonglong>(), shares);
    if (out) {
        QCOMPARE(std::accumulate(out->begin(), out->end(), qlonglong{0}), amount);
    }
}

void TestEmulatorUnits::addresses_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("normalised"); // empty: refused
    QTest::newRow("padded") << QByteArray("192.168.000.010") << QByteArray("192.168.000.010");
    QTest::newRow("bare") << QByteArray("8.8.4.4") << QByteArray("008.008.004.004");
    QTest::newRow("255") << QByteArray("255.255.255.255") << QByteArray("255.255.255.255");
    QTest::newRow("256") << QByteArray("255.255.255.256") << QByteArray();
    QTest::newRow("four digits") << QByteArray("0192.168.0.1") << QByteArray();
    QTest::newRow("five octets") << QByteArray("1.2.3.4.5") << QByteArray();
    QTest::newRow("empty octet") << QByteArray("1..3.4") << QByteArray();
    QTest::newRow("trailing dot") << QByteArray("1.2.3.") << QByteArray();
    QTest::newRow("blank") << QByteArray(" 1.2.3.4") << QByteArray();
}

void TestEmulatorUnits::addresses() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, normalised);
    const auto result = NormaliseAddress(Std(text));
    QCOMPARE(result ? Bytes(*result) : QByteArray(), normalised);
}

void TestEmulatorUnits::deviceClock_data() {
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<QByteArray>("stamp"); // shown with the system clock at 2025-01-15 13:30 UTC
    QTest::newRow("system clock, Brasília time") << QByteArray() << QByteArray("20250115103000");
    QTest::newRow("fixed") << QByteArray("20240229235959") << QByteArray("20240229235959");
    QTest::newRow("ahead") << QByteArray("+1800") << QByteArray("20250115110000");
    QTest::newRow("behind a day") << QByteArray("-86400") << QByteArray("20250114103000");
    QTest::newRow("no such day") << QByteArray("20250230120000") << QByteArray("20250115103000");
    QTest::newRow("garbage") << QByteArray("tomorrow") << QByteArray("20250115103000");
}

void TestEmulatorUnits::deviceClock() {
    QFETCH(QByteArray, setting);
    QFETCH(QByteArray, stamp);
    const std::int64_t system = 1736947800; // 2025-01-15 13:30:00 UTC
    const std::int64_t now = DeviceNow(Std(setting), system);
    QCOMPARE(Bytes(FormatStamp(now)), stamp);
    QCOMPARE(Bytes(FormatDate(now)), stamp.left(8));
    QCOMPARE(Bytes(FormatTime(now)), stamp.mid(8));
    QCOMPARE(Bytes(FormatYearMonth(now)), stamp.mid(2, 4));
    QCOMPARE(Bytes(FormatDate(AddYears(now, 5))).left(4),
             QByteArray::number(stamp.left(4).toInt() + 5));
}

void TestEmulatorUnits::windowsTextToUtf8_data() {
    QTest::addColumn<QByteArray>("ansi");
    QTest::addColumn<QString>("text");
    QTest::newRow("ASCII") << QByteArray("abc") << QStringLiteral("abc");
    QTest::newRow("Latin-1 range") << QByteArray("C\xf3"
                                                 "digo")
                                   << QStringLiteral("Código");
    QTest::newRow("euro and quotes") << QByteArray("\x80\x96") << QStringLiteral("€–");
    QTest::newRow("undefined byte") << QByteArray("\x81") << QString(QChar(0x81));
}

void TestEmulatorUnits::windowsTextToUtf8() {
    QFETCH(QByteArray, ansi);
    QFETCH(QString, text);
    const std::string utf8 = WindowsToUtf8(Std(ansi));
    QCOMPARE(QString::fromUtf8(Bytes(utf8)), text);
    QVERIFY(IsValidUtf8(utf8));
    QCOMPARE(Bytes(Utf8ToWindows(utf8)), ansi);
}

void TestEmulatorUnits::stateFileRoundTrip() {
    DeviceState state = MakeDeveloperKit(1736947800);
    state.activationCode = "line\nbreak\\and=equals\r";
    state.network.lanType = "IPFIX";
    state.network.ip = "010.000.000.108";
    state.operationState = OperationState::BlockedAutonomous;
    // One answer inline, as earlier versions kept them, one in the store.
    state.sessions.push_back({12, 0, "12|08000|SAT em operação||"});
    state.sessions.push_back({13, 7, {}});
    state.lastFiscalAnswerId = 7;
    const std::string text = SerializeState(state);
    const auto read = ParseState(text);
    QVERIFY(read.has_value());
    QCOMPARE(Bytes(SerializeState(*read)), Bytes(text));
    QCOMPARE(Bytes(read->activationCode), Bytes(state.activationCode));
    QCOMPARE(read->sessions.size(), std::size_t{2});
    QCOMPARE(Bytes(read->sessions[0].answer), Bytes(state.sessions[0].answer));
    QCOMPARE(read->sessions[1].answerId, std::int64_t{7});
    QCOMPARE(read->lastFiscalAnswerId, std::int64_t{7});
    // Lines edited with a Windows editor still read.
    std::string windows;
    for (const char c : text) {
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    QVERIFY(ParseState(windows).has_value());
}

void TestEmulatorUnits::damagedAnswers_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("damaged");
    QTest::newRow("short") << static_cast<int>(Fault::Short)
                           << QByteArray("7|10000|Resposta com sucesso|||900012345")
                           << QByteArray("7|10000|Resposta com sucesso");
    QTest::newRow("invalid UTF-8") << static_cast<int>(Fault::InvalidUtf8)
                                   << QByteArray("7|08000|SAT em opera\xc3\xa7\xc3\xa3o||")
                                   << QByteArray("7|08000|SAT em opera\xe7\xe3o\xff||");
    QTest::newRow("invalid UTF-8 of a sale") << static_cast<int>(Fault::InvalidUtf8)
                                             << QByteArray("7|06001|0000|C\xc3\xb3"
                                                           "digo||")
                                             << QByteArray("7|06001|0000|C\xf3"
                                                           "digo\xff||");
    QTest::newRow("none") << static_cast<int>(Fault::None) << QByteArray("7|08000|x||")
                          << QByteArray("7|08000|x||");
}

void TestEmulatorUnits::damagedAnswers() {
    QFETCH(int, fault);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, damaged);
    std::string text = Std(answer);
    DamageAnswer(static_cast<Fault>(fault), text);
    QCOMPARE(Bytes(text), damaged);
}

QTEST_GUILESS_MAIN(TestEmulatorUnits)
#include "test_emulator_units.moc"
