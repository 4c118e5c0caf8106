// The operational status page with real widgets against the fake SAT
// library: every value label from a full answer, the labels emptied by a
// refusal after a success, the battery picture, the dates, the operating
// state names and the default code rule of the refresh.

#include "ui/result_memo.h"
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include "tests/page_window.h"
#include "ui/page_set.h"
#include "ui/pages/queries_page.h"
#include "ui/pages/status_page.h"
#include "ui/wait_panel.h"

namespace {

constexpr char kCode[] = "12345678";

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// The 28 fields of a successful status answer; a test changes some of them.
struct StatusAnswer {
    std::string fields[28] = {"123456",
                              "10000",
                              "Resposta com sucesso",
                              "",
                              "",
                              "900004019",
                              "DHCP",
                              "010.000.000.108",
                              "00:11:22:33:44:55",
                              "255.255.255.000",
                              "010.000.000.001",
                              "008.008.008.008",
                              "008.008.004.004",
                              "CONECTADO",
                              "ALTO",
                              "4 GB",
                              "260 MB",
                              "20151110084752",
                              "01.00.00",
                              "00.06",
                              "35151108723218000186599000040190000215133408",
                              "35151108723218000186599000040190000215133401",
                              "35151108723218000186599000040190000215133415",
                              "20151110080000",
                              "20151109235959",
                              "20150102",
                              "20191102",
                              "2"};

    // Field k, counted from 1 as the SAT standard counts them.
    std::string& operator[](int k) { return fields[k - 1]; }

    std::string Text() const {
        std::string text = fields[0];
        for (int k = 1; k < 28; ++k) {
            text += '|' + fields[k];
        }
        return text;
    }
};

constexpr int kNivelBateria = 15;
constexpr int kDhCfe = 24;
constexpr int kCertVencimento = 27;
constexpr int kEstadoOperacao = 28;

} // namespace

class StatusPageTest : public PageWindowTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void designTextsEmptiedByFirstReset();
    void labelsFromFullAnswer_data();
    void labelsFromFullAnswer();
    void refusalAfterSuccessEmptiesLabels();
    void battery_data();
    void battery();
    void panelsKeepTheirPlace_data();
    void panelsKeepTheirPlace();
    void dates_data();
    void dates();
    void longValuesShownWhole();
    void states_data();
    void states();
    void refreshCodeRule_data();
    void refreshCodeRule();
    void refreshClearsQueriesMemo_data();
    void refreshClearsQueriesMemo();

private:
    TStatusPage& Page() const { return *window_->AdvPolyPage7; }
    QLabel* Label(const char* name) const {
        return Page().findChild<QLabel*>(QString::fromLatin1(name));
    }
    // Answers `answer` to the next status query and presses "Atualizar".
    void Refresh(const StatusAnswer& answer);
    bool BatteryShows(const QLabel* picture) const {
        return Page().bat_0->pixmap().cacheKey() == picture->pixmap().cacheKey();
    }
};

void StatusPageTest::init() {
    QVERIFY(PrepareWindow() && OpenWindow(kOnEntrySheet));
    ChooseDeviceStatus(*window_, TNetworkPage::kAtivado, QString::fromLatin1(kCode));
    fake_->Reset();
    fake_->SetAnswer("VersaoDLL", "01.02.03");
    window_->messages.clear();
}

void StatusPageTest::cleanup() {
    EndWindow();
}

void StatusPageTest::Refresh(const StatusAnswer& answer) {
    fake_->SetAnswer("ConsultarStatusOperacional", answer.Text());
    Page().AdvGlassButton17->click();
}

void StatusPageTest::designTextsEmptiedByFirstReset() {
    TFprincipal::Options options;
    options.showSplash = false;
    options.satLibraryPath = fake_->LibraryPath();
    options.libraryInProcess = true;
    options.settingsFilePath = folder_->filePath(QStringLiteral("other.ini")).toStdString();
    TFprincipal fresh(options);
    TStatusPage& page = *fresh.AdvPolyPage7;
    QCOMPARE(page.EstadoOperacao_sat->text(), QStringLiteral("DESBLOQUEADO"));
    fresh.Timer1Timer();
    const QList<QLabel*> labels{page.findChildren<QLabel*>(
        QRegularExpression(QStringLiteral("_sat$|^NumeroUltimoCFeMT_$")))};
    QCOMPARE(labels.size(), TStatusPage::kValueLabelCount);
    for (const QLabel* label : labels) {
        QVERIFY2(label->text().isEmpty(), qPrintable(label->objectName()));
    }
    QCOMPARE(page.bat_0->pixmap().cacheKey(), fresh.bat_1->pixmap().cacheKey());
    QVERIFY(!page.bat_0->pixmap().isNull());
}

void StatusPageTest::labelsFromFullAnswer_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown");

    const auto row = [](const char* label, const char* shown) {
        QTest::newRow(label) << QString::fromLatin1(label) << QString::fromUtf8(shown);
    };
    row("NivelBateria_sat", "ALTO");
    row("Nserie_sat", "900004019");
    row("EstadoOperacao_sat", "BLOQUEIO CONTRIBUINTE");
    row("VersaoSWBasico_sat", "01.00.00");
    row("VersaoLayout_sat", "00.06");
    row("MemoriaTrabalhoTotal_sat", "4 GB");
    row("MemoriaTrabalhoUsada_sat", "260 MB");
    row("VersaoDll_sat", "01.02.03");
    row("TipoLan_sat", "DHCP");
    row("MAC_sat", "00:11:22:33:44:55");
    row("IP_sat", "010.000.000.108");
    row("MascaraRede_sat", "255.255.255.000");
    row("Gateway_sat", "010.000.000.001");
    row("DNS1_sat", "008.008.008.008");
    row("DNS2_sat", "008.008.004.004");
    row("StatusRede_sat", "CONECTADO");
    row("NUMEROSESSAO_sat", "123456");
    row("DataHoraAtual_sat", "10/11/2015 08:47:52");
    row("DataHoraUltimaTransmissao_sat", "10/11/2015 08:00:00");
    row("DataHoraUltimaComunicacao_sat", "09/11/2015 23:59:59");
    row("NumeroUltimoCFeEmitido_sat", "35151108723218000186599000040190000215133408");
    row("NumeroPrimeiroCFeMT_sat", "35151108723218000186599000040190000215133401");
    row("NumeroUltimoCFeMT_", "35151108723218000186599000040190000215133415");
    row("DataEmissaoCertificado_sat", "02/01/2015");
    row("DataVencimentoCertificado_sat", "02/11/2019");
}

void StatusPageTest::labelsFromFullAnswer() {
    QFETCH(QString, label);
    QFETCH(QString, shown);

    Refresh(StatusAnswer());
    QLabel* value = Page().findChild<QLabel*>(label);
    QVERIFY(value != nullptr);
    QCOMPARE(value->text(), shown);
    QCOMPARE(fake_->CallSequence(), std::string("ConsultarStatusOperacional,VersaoDLL"));
    QCOMPARE(fake_->LastArguments("ConsultarStatusOperacional")[1].text, std::string(kCode));
    QCOMPARE(window_->AguardeGenPnl->lbl_msg->text(), Utf8("Solicitando resumo do Vexa ®"));
    QVERIFY(!window_->AguardeGenPnl->isVisible());
}

// A refusal of five fields after a success: the record keeps the earlier
// device's fields 6 to 28, but the page must not show them.
void StatusPageTest::refusalAfterSuccessEmptiesLabels() {
    Refresh(StatusAnswer());
    QCOMPARE(Page().Nserie_sat->text(), QStringLiteral("900004019"));

    fake_->SetAnswer("ConsultarStatusOperacional", "123457|10001|Código de ativação inválido||");
    Page().AdvGlassButton17->click();

    for (const QLabel* label : Page().findChildren<QLabel*>()) {
        const QString name = label->objectName();
        if (name.endsWith(QStringLiteral("_sat")) || name == QStringLiteral("NumeroUltimoCFeMT_")) {
            QVERIFY2(label->text().isEmpty(), qPrintable(name));
        }
    }
    QVERIFY(BatteryShows(window_->bat_1));
    QCOMPARE(window_->Session().StatusOperacional.NSerie, std::string("900004019"));
}

void StatusPageTest::battery_data() {
    QTest::addColumn<QByteArray>("level");
    QTest::addColumn<int>("picture"); // 3 high, 2 medium, 1 low

    QTest::newRow("ALTO") << QByteArray("ALTO") << 3;
    QTest::newRow("ALTO with blanks around") << QByteArray("  ALTO ") << 3;
    QTest::newRow("MEDIO") << QByteArray("MEDIO") << 2;
    QTest::newRow("BAIXO") << QByteArray("BAIXO") << 1;
    QTest::newRow("alto in small letters") << QByteArray("alto") << 1;
    QTest::newRow("ALTO with a tab") << QByteArray("ALTO\t") << 1;
    QTest::newRow("empty") << QByteArray() << 1;
}

void StatusPageTest::battery() {
    QFETCH(QByteArray, level);
    QFETCH(int, picture);

    StatusAnswer answer;
    answer[kNivelBateria] = level.toStdString();
    Refresh(answer);
    const QLabel* expected = picture == 3   ? window_->bat_3
                             : picture == 2 ? window_->bat_2
                                            : window_->bat_1;
    QVERIFY(!expected->pixmap().isNull());
    QVERIFY(BatteryShows(expected));
    QCOMPARE(Page().NivelBateria_sat->text(), QString::fromLatin1(level));
}

// Values arriving (or going) must not move the panels or the battery
// picture.
void StatusPageTest::panelsKeepTheirPlace_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("typical answer") << kNivelBateria << QByteArray("ALTO");
    QTest::newRow("memory in bytes") << 16 << QByteArray("4294967296");
    QTest::newRow("state by name") << kEstadoOperacao << QByteArray("DESBLOQUEADO");
}

void StatusPageTest::panelsKeepTheirPlace() {
    QFETCH(int, field);
    QFETCH(QByteArray, value);
    window_->PC->setCurrentIndex(TFprincipal::kPagesSheet);
    window_->AdvPolyPager1->SetActivePageIndex(6);
    QTRY_VERIFY(Page().isVisible());
    const auto places = [this] {
        QList<QRect> rects;
        for (const char* name : {"resumo_dispositivo", "resumo_rede", "resumo_datas", "bat_0"}) {
            const auto* part = Page().findChild<QWidget*>(QString::fromLatin1(name));
            rects.append(QRect(part->mapTo(&Page(), QPoint(0, 0)), part->size()));
        }
        return rects;
    };
    Page().LimpaResumo();
    QApplication::processEvents();
    const QList<QRect> empty = places();

    StatusAnswer answer;
    answer[field] = value.toStdString();
    Refresh(answer);
    QApplication::processEvents();
    QCOMPARE(places(), empty);
}

void StatusPageTest::dates_data() {
    QTest::addColumn<QByteArray>("dhCfe");
    QTest::addColumn<QByteArray>("certVencimento");
    QTest::addColumn<QString>("dhCfeShown");
    QTest::addColumn<QString>("certVencimentoShown");

    QTest::newRow("14 and 8 digits")
        << QByteArray("20240131235959") << QByteArray("20291231")
        << QStringLiteral("31/01/2024 23:59:59") << QStringLiteral("31/12/2029");
    QTest::newRow("8 digits in a date-time field")
        << QByteArray("20240131") << QByteArray("20291231") << QStringLiteral("31/01/2024")
        << QStringLiteral("31/12/2029");
    QTest::newRow("14 digits in a date field")
        << QByteArray("20240131235959") << QByteArray("20291231000000")
        << QStringLiteral("31/01/2024 23:59:59") << QStringLiteral("31/12/2029 00:00:00");
    QTest::newRow("empty, never transmitted")
        << QByteArray() << QByteArray() << QString() << QString();
    QTest::newRow("blanks") << QByteArray("   ") << QByteArray(" ") << QString() << QString();
}

void StatusPageTest::dates() {
    QFETCH(QByteArray, dhCfe);
    QFETCH(QByteArray, certVencimento);
    QFETCH(QString, dhCfeShown);
    QFETCH(QString, certVencimentoShown);

    StatusAnswer answer;
    answer[kDhCfe] = dhCfe.toStdString();
    answer[kCertVencimento] = certVencimento.toStdString();
    Refresh(answer);
    QCOMPARE(Page().DataHoraUltimaTransmissao_sat->text(), dhCfeShown);
    QCOMPARE(Page().DataVencimentoCertificado_sat->text(), certVencimentoShown);
}

// A value longer than its column (the emulator's version text) runs on in a
// second row, none of it cut, and the panels keep their width.
void StatusPageTest::longValuesShownWhole() {
    window_->PC->setCurrentIndex(TFprincipal::kPagesSheet);
    window_->AdvPolyPager1->SetActivePageIndex(6);
    QTRY_VERIFY(Page().isVisible());
    const int panelWidth =
        Page().findChild<QWidget*>(QStringLiteral("resumo_dispositivo"))->width();
    fake_->SetAnswer("VersaoDLL", "Emulador SAT-CF-e dllsat 1.0.0 (compilação de teste)");
    Refresh(StatusAnswer());
    QApplication::processEvents();
    QLabel* version = Page().VersaoDll_sat;
    QVERIFY(version->wordWrap());
    QVERIFY2(version->height() >= version->heightForWidth(version->width()), "the version is cut");
    QVERIFY(version->height() > version->fontMetrics().lineSpacing());
    QCOMPARE(Page().VersaoDll_sat->text(),
             Utf8("Emulador SAT-CF-e dllsat 1.0.0 (compilação de teste)"));
    QCOMPARE(Page().findChild<QWidget*>(QStringLiteral("resumo_dispositivo"))->width(), panelWidth);
}

void StatusPageTest::states_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("shown");

    QTest::newRow("0") << QByteArray("0") << QStringLiteral("DESBLOQUEADO");
    QTest::newRow("1") << QByteArray("1") << QStringLiteral("BLOQUEIO SEFAZ");
    QTest::newRow("2") << QByteArray("2") << QStringLiteral("BLOQUEIO CONTRIBUINTE");
    QTest::newRow("3") << QByteArray("3") << Utf8("BLOQUEIO AUTÔNOMO");
    QTest::newRow("4") << QByteArray("4") << Utf8("BLOQUEIO PARA DESATIVAÇÃO");
    QTest::newRow("5, beyond the names") << QByteArray("5") << QStringLiteral("5");
    QTest::newRow("negative") << QByteArray("-1") << QStringLiteral("-1");
    QTest::newRow("large") << QByteArray("2147483647") << QStringLiteral("2147483647");
    QTest::newRow("followed by a line break")
        << QByteArray("3\r\n") << QStringLiteral("DESBLOQUEADO");
}

void StatusPageTest::states() {
    QFETCH(QByteArray, field);
    QFETCH(QString, shown);

    StatusAnswer answer;
    answer[kEstadoOperacao] = field.toStdString();
    Refresh(answer);
    QCOMPARE(Page().EstadoOperacao_sat->text(), shown);
}

// The refresh checks the code's length whatever the device status says.
void StatusPageTest::refreshCodeRule_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("codeAfter");

    QTest::newRow("NÃO ATIVADO, empty code") << 0 << QString() << false << QString();
    QTest::newRow("NÃO ATIVADO, valid code")
        << 0 << QString::fromLatin1(kCode) << true << QString::fromLatin1(kCode);
    QTest::newRow("ATIVADO, 7 characters")
        << 1 << QStringLiteral("1234567") << false << QStringLiteral("1234567");
    QTest::newRow("KIT, 32 characters")
        << 2 << QStringLiteral("12345678901234567890123456789012") << true
        << QStringLiteral("12345678901234567890123456789012");
    QTest::newRow("KIT, blanks around are trimmed and written back")
        << 2 << QStringLiteral("  12345678  ") << true << QString::fromLatin1(kCode);
    QTest::newRow("ATIVADO, blanks only") << 1 << QStringLiteral("     ") << false << QString();
}

void StatusPageTest::refreshCodeRule() {
    QFETCH(int, status);
    QFETCH(QString, code);
    QFETCH(bool, asked);
    QFETCH(QString, codeAfter);

    Refresh(StatusAnswer());
    fake_->Reset();
    window_->messages.clear();
    window_->AdvPolyPage5->memo_retorno->setPlainText(QStringLiteral("anterior"));
    ChooseDeviceStatus(*window_, status, code);

    StatusAnswer second;
    second[6] = "900009999";
    Refresh(second);

    QCOMPARE(window_->AdvPolyPage1->rede_status_sat_ativacao->text(), codeAfter);
    if (asked) {
        QCOMPARE(fake_->LastArguments("ConsultarStatusOperacional")[1].text,
                 codeAfter.toStdString());
        QCOMPARE(Page().Nserie_sat->text(), QStringLiteral("900009999"));
    } else {
        QCOMPARE(fake_->CallSequence(), std::string());
        QCOMPARE(window_->messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(window_->messages.front()),
                 Utf8("Código de Ativação Padrão inválido !"));
        // Nothing asked: the labels and the queries page keep their texts.
        QCOMPARE(Page().Nserie_sat->text(), QStringLiteral("900004019"));
        QCOMPARE(window_->AdvPolyPage5->memo_retorno->toPlainText(), QStringLiteral("anterior"));
    }
}

// With a valid code the queries page's memo is cleared whatever the outcome.
void StatusPageTest::refreshClearsQueriesMemo_data() {
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("success") << QByteArray::fromStdString(StatusAnswer().Text());
    QTest::newRow("refusal") << QByteArray("123456|10001|Código de ativação inválido||");
    QTest::newRow("library error text") << QByteArray("falha de comunicação");
}

void StatusPageTest::refreshClearsQueriesMemo() {
    QFETCH(QByteArray, answer);

    window_->AdvPolyPage5->memo_retorno->setPlainText(QStringLiteral("anterior"));
    fake_->SetAnswer("ConsultarStatusOperacional", answer.toStdString());
    Page().AdvGlassButton17Click();
    QVERIFY(window_->AdvPolyPage5->memo_retorno->toPlainText().isEmpty());
    QVERIFY(!window_->AguardeGenPnl->isVisible());
}

QTEST_MAIN(StatusPageTest)
#include "tst_status_page.moc"
