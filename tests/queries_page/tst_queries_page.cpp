// The queries page with real widgets against the fake SAT library: which
// operation each button runs and with what, what reaches memo_retorno
// (normalised or not), and the refusals that must leave everything as it was.

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "rules/line_text.h"
#include "rules/test_sale_document.h"
#include "tests/queries_page/page_window.h"
#include "ui/input_box.h"
#include "ui/open_dialog.h"
#include "ui/page_set.h"
#include "ui/pages/queries_page.h"
#include "ui/result_memo.h"
#include "ui/wait_panel.h"

namespace {

constexpr char kCode[] = "12345678";
constexpr char kEarlierText[] = "resultado anterior";
constexpr char kWaitSentinel[] = "nenhuma espera";

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

std::string Base64(const char* text) {
    return QByteArray(text).toBase64().toStdString();
}

// What a button needs besides the default code: a document file and a key.
struct ButtonInput {
    QString file;
    QString key;
};

void Press(TQueriesPage& page, int button) {
    switch (button) {
    case 1:
        page.btn_01Click();
        break;
    case 2:
        page.btn_02Click();
        break;
    case 3:
        page.btn_03Click();
        break;
    case 4:
        page.btn_04Click();
        break;
    case 5:
        page.btn_05Click();
        break;
    case 6:
        page.btn_06Click();
        break;
    case 7:
        page.btn_07Click();
        break;
    default:
        QFAIL("no such button");
    }
}

} // namespace

class QueriesPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controls();
    void buttons_data();
    void buttons();
    void documentsSentAsLines_data();
    void documentsSentAsLines();
    void cancellationKeyAsTyped();
    void refusalsLeaveMemo_data();
    void refusalsLeaveMemo();
    void generalQueryNeedsNoCode();
    void sessionNumbers_data();
    void sessionNumbers();
    void sessionEditSelectsOnEnter();
    void memoLines_data();
    void memoLines();
    void memoParagraphs_data();
    void memoParagraphs();
    void memoCopiesPlainLines();

private:
    TQueriesPage& Page() const { return *window_->AdvPolyPage5; }
    QString WriteFile(const QString& name, const QByteArray& bytes) const;

    std::unique_ptr<FakeSat> fake_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingWindow> window_;
};

void QueriesPageTest::init() {
    fake_ = std::make_unique<FakeSat>();
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    window_ = OpenPageWindow(*fake_, *folder_);
    ChooseDeviceStatus(*window_, TNetworkPage::kAtivado, QString::fromLatin1(kCode));
    fake_->Reset();
    window_->messages.clear();
    Page().memo_retorno->setPlainText(QString::fromLatin1(kEarlierText));
    window_->AguardeGenPnl->lbl_msg->setText(QString::fromLatin1(kWaitSentinel));
}

void QueriesPageTest::cleanup() {
    window_.reset();
    folder_.reset();
    fake_.reset();
}

QString QueriesPageTest::WriteFile(const QString& name, const QByteArray& bytes) const {
    const QString path = folder_->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qWarning("cannot write the test document");
    }
    return path;
}

void QueriesPageTest::controls() {
    TQueriesPage& page = Page();
    // The window's open-file dialog, reachable by its design name.
    QCOMPARE(window_->findChild<TOpenDialog*>(QStringLiteral("OpenDialog1")), page.OpenDialog1);

    // Only the general query is open to a device that is not activated.
    const QList<QWidget*> starred{page.btn_02, page.btn_03, page.btn_03_ed, page.btn_04,
                                  page.btn_05, page.btn_06, page.btn_07};
    for (int status :
         {TNetworkPage::kNaoAtivado, TNetworkPage::kAtivado, TNetworkPage::kKitDeDesenvolvedor}) {
        ChooseDeviceStatus(*window_, status, QString());
        QVERIFY(page.btn_01->isEnabled());
        for (const QWidget* control : starred) {
            QVERIFY2(control->isEnabled() == (status != TNetworkPage::kNaoAtivado),
                     qPrintable(control->objectName()));
        }
    }
}

// One row per button: the library's answer, what the memo shows after it and
// the wait message the button showed.
void QueriesPageTest::buttons_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("exportName");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("waitMessage");

    QTest::newRow("btn_01 general query, normalised")
        << 1 << QStringLiteral("ConsultarSAT") << QByteArray("123456|08000|SAT \"em\" operação||")
        << Utf8("123456|08000|SAT em operação||") << Utf8("Efetuando Consulta Vexa®");
    QTest::newRow("btn_02 status, quoted form normalised")
        << 2 << QStringLiteral("ConsultarStatusOperacional")
        << QByteArray("123456|10001|Código de ativação inválido||")
        << Utf8("123456|10001|Código de ativação inválido||") << Utf8("Efetuando Consulta Vexa®");
    QTest::newRow("btn_03 session lookup, quoted form normalised")
        << 3 << QStringLiteral("ConsultarNumeroSessao")
        << QByteArray("000777|11003|Sessão não existe||")
        << Utf8("000777|11003|Sessão não existe||")
        << Utf8("Efetuando Consultar Número de Sessão Vexa®");
    QTest::newRow("btn_04 logs, unchanged")
        << 4 << QStringLiteral("ExtrairLogs")
        << QByteArray("123456|15000|Transferência \"completa\"|||") +
               QByteArray::fromStdString(Base64("20240101120000|SAT|info|ligado\nsegunda"))
        << Utf8("123456|15000|Transferência \"completa\"|||20240101120000|SAT|info|ligado\n"
                "segunda")
        << Utf8("Efetuando Extrair Logs Vexa®");
    QTest::newRow("btn_05 end-to-end test, unchanged, then an empty line pair")
        << 5 << QStringLiteral("TesteFimAFim")
        << QByteArray("123456|09000|Emitido com sucesso|||QUJD|20240101120000|1|CFe351")
        << Utf8("\"123456\",\"09000\",\"Emitido com sucesso\",\"\",\"\",\"QUJD\","
                "\"20240101120000\",\"1\",\"CFe351\"\n\n")
        << Utf8("Efetuando TESTE FIM A FIM Vexa® ");
    QTest::newRow("btn_06 sale, unchanged")
        << 6 << QStringLiteral("EnviarDadosVenda")
        << QByteArray("123456|06000|0000|Emitido com sucesso + conteúdo notas|||") +
               QByteArray::fromStdString(Base64("<CFe/>")) + QByteArray("|20240101120000|CFe35")
        << Utf8("123456|06000|0000|Emitido com sucesso + conteúdo notas|||<CFe/>|"
                "20240101120000|CFe35")
        << Utf8("Efetuando VENDA Vexa®");
    QTest::newRow("btn_07 cancellation, unchanged")
        << 7 << QStringLiteral("CancelarUltimaVenda")
        << QByteArray("123456|07001|0000|Código de ativação inválido||")
        << Utf8("123456|07001|0000|Código de ativação inválido||||||||")
        << Utf8("Efetuando CANCELAMENTO DA ULTIMA VENDA Vexa®");
}

void QueriesPageTest::buttons() {
    QFETCH(int, button);
    QFETCH(QString, exportName);
    QFETCH(QByteArray, answer);
    QFETCH(QString, memo);
    QFETCH(QString, waitMessage);

    const std::string name = exportName.toStdString();
    fake_->SetAnswer(name, answer.toStdString());
    if (button >= 6) {
        SetNextOpenDialogFile(WriteFile(QStringLiteral("documento.xml"), "<CFe/>\n"));
    }
    if (button == 7) {
        SetNextInputBoxAnswer(QStringLiteral("CFe35"));
    }

    Press(Page(), button);

    QCOMPARE(fake_->CallSequence(), name);
    if (button > 1) {
        const std::vector<FakeSatArgument> arguments = fake_->LastArguments(name);
        QVERIFY(arguments.size() >= 2);
        QCOMPARE(arguments[1].text, std::string(kCode));
    }
    QCOMPARE(Page().memo_retorno->toPlainText(), memo);
    QCOMPARE(window_->AguardeGenPnl->lbl_msg->text(), waitMessage);
    QVERIFY(!window_->AguardeGenPnl->isVisible());
    QVERIFY(window_->Session().dadosVenda.empty());
    QVERIFY(window_->Session().dadosCancelamento.empty());
}

// Files are read as lines and sent with CR LF after every line, bytes as they
// are; the end-to-end test sends the built-in sale.
void QueriesPageTest::documentsSentAsLines_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<QByteArray>("sent");

    std::vector<std::string> testSale;
    BuildTestSaleDocument(testSale);
    QTest::newRow("end-to-end test sale")
        << 5 << QByteArray() << QByteArray::fromStdString(LinesText(testSale));
    QTest::newRow("sale, LF lines")
        << 6 << QByteArray("<CFe>\n<x/>\n</CFe>") << QByteArray("<CFe>\r\n<x/>\r\n</CFe>\r\n");
    QTest::newRow("sale, CR LF and lone CR")
        << 6 << QByteArray("a\r\nb\rc\r\n") << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("sale, UTF-8 bytes untouched") << 6 << QByteArray("<xProd>Pão de açúcar</xProd>")
                                                 << QByteArray("<xProd>Pão de açúcar</xProd>\r\n");
    QTest::newRow("cancellation, LF lines")
        << 7 << QByteArray("<CFeCanc>\n</CFeCanc>\n") << QByteArray("<CFeCanc>\r\n</CFeCanc>\r\n");
    QTest::newRow("cancellation, empty file") << 7 << QByteArray() << QByteArray();
}

void QueriesPageTest::documentsSentAsLines() {
    QFETCH(int, button);
    QFETCH(QByteArray, fileBytes);
    QFETCH(QByteArray, sent);

    if (button >= 6) {
        SetNextOpenDialogFile(WriteFile(QStringLiteral("documento.xml"), fileBytes));
    }
    if (button == 7) {
        SetNextInputBoxAnswer(QStringLiteral("CFe35"));
    }
    Press(Page(), button);

    const char* exportName = button == 5   ? "TesteFimAFim"
                             : button == 6 ? "EnviarDadosVenda"
                                           : "CancelarUltimaVenda";
    const std::vector<FakeSatArgument> arguments = fake_->LastArguments(exportName);
    QVERIFY(!arguments.empty());
    QCOMPARE(QByteArray::fromStdString(arguments.back().text), sent);
}

// The key is sent as typed, surrounding blanks included, and the input box
// asks with its own caption and prompt.
void QueriesPageTest::cancellationKeyAsTyped() {
    SetNextOpenDialogFile(WriteFile(QStringLiteral("cancelamento.xml"), "<CFeCanc/>"));
    SetNextInputBoxAnswer(QStringLiteral("  CFe35240161099008000141599000123450000010000011  "));
    Page().btn_07Click();

    const std::vector<FakeSatArgument> arguments = fake_->LastArguments("CancelarUltimaVenda");
    QCOMPARE(arguments.size(), std::size_t(4));
    QCOMPARE(arguments[2].text, std::string("  CFe35240161099008000141599000123450000010000011  "));
    const InputBoxRequest request = LastInputBoxRequest();
    QCOMPARE(request.caption, QStringLiteral("Cancelamento da Ultima Venda"));
    QCOMPARE(request.prompt, QStringLiteral("Digite a Chave de acesso do CF-e-SAT:"));
    QVERIFY(request.initial.isEmpty());
    QCOMPARE(LastOpenDialogFilter(), QStringLiteral("*.(xml)|*.xml"));
}

// Each refusal calls nothing, keeps the memo and the wait panel as they were
// and shows at most its one message. The scripts answer the file dialog and
// the key box only where the button reaches them: "-" not reached, "cancel",
// or the file name in the test folder / the key typed.
void QueriesPageTest::refusalsLeaveMemo_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("fileScript");
    QTest::addColumn<QString>("keyScript");
    // The one message, "" for none; "FILE" stands for the file's full path.
    QTest::addColumn<QString>("message");

    const QString code = QString::fromLatin1(kCode);
    const QString none = QStringLiteral("-");
    const QString cancel = QStringLiteral("cancel");
    const QString codeRefused = Utf8("Código de Ativação Padrão inválido !");
    const QString keyRefused = Utf8("Chave de acesso do CF-e-SAT não determinado !");
    const QString unreadable = Utf8("Não foi possível ler o arquivo FILE[e]");
    for (int button = 2; button <= 7; ++button) {
        const QByteArray name = "btn_0" + QByteArray::number(button);
        QTest::newRow(QByteArray(name + " short default code").constData())
            << button << QStringLiteral("1234567") << none << none << codeRefused;
        QTest::newRow(QByteArray(name + " blank default code").constData())
            << button << QStringLiteral("        ") << none << none << codeRefused;
    }
    QTest::newRow("btn_06 file dialog cancelled") << 6 << code << cancel << none << QString();
    QTest::newRow("btn_07 file dialog cancelled") << 7 << code << cancel << none << QString();
    QTest::newRow("btn_07 key box cancelled")
        << 7 << code << QStringLiteral("doc.xml") << cancel << keyRefused;
    QTest::newRow("btn_07 empty key")
        << 7 << code << QStringLiteral("doc.xml") << QString() << keyRefused;
    QTest::newRow("btn_07 key of blanks")
        << 7 << code << QStringLiteral("doc.xml") << QStringLiteral("   ") << keyRefused;
    QTest::newRow("btn_06 missing file")
        << 6 << code << QStringLiteral("missing.xml") << none << unreadable;
    QTest::newRow("btn_06 folder chosen")
        << 6 << code << QStringLiteral("folder") << none << unreadable;
    QTest::newRow("btn_07 missing file")
        << 7 << code << QStringLiteral("missing.xml") << QStringLiteral("CFe35") << unreadable;
    QTest::newRow("btn_07 folder chosen")
        << 7 << code << QStringLiteral("folder") << QStringLiteral("CFe35") << unreadable;
    // Sent as a C text, the document would be cut at the NUL.
    const QString withNul = Utf8("O arquivo FILE contém um caractere nulo e não foi enviado.[e]");
    QTest::newRow("btn_06 document with a NUL byte")
        << 6 << code << QStringLiteral("nul.xml") << none << withNul;
    QTest::newRow("btn_07 document with a NUL byte")
        << 7 << code << QStringLiteral("nul.xml") << QStringLiteral("CFe35") << withNul;
}

void QueriesPageTest::refusalsLeaveMemo() {
    QFETCH(int, button);
    QFETCH(QString, code);
    QFETCH(QString, fileScript);
    QFETCH(QString, keyScript);
    QFETCH(QString, message);

    window_->AdvPolyPage1->rede_status_sat_ativacao->setText(code);
    WriteFile(QStringLiteral("doc.xml"), "<CFe/>");
    WriteFile(QStringLiteral("nul.xml"), QByteArray("<CFe>\0<det/></CFe>", 18));
    QVERIFY(QDir(folder_->path()).mkpath(QStringLiteral("folder")));
    const QString path = folder_->filePath(fileScript);
    if (fileScript == QStringLiteral("cancel")) {
        SetNextOpenDialogCancel();
    } else if (fileScript != QStringLiteral("-")) {
        SetNextOpenDialogFile(path);
    }
    if (keyScript == QStringLiteral("cancel")) {
        SetNextInputBoxCancel();
    } else if (keyScript != QStringLiteral("-")) {
        SetNextInputBoxAnswer(keyScript);
    }
    // Documents left over from earlier operations must not travel.
    window_->Session().dadosVenda = "antigo";
    window_->Session().dadosCancelamento = "antigo";

    Press(Page(), button);

    QCOMPARE(fake_->CallSequence(), std::string());
    QCOMPARE(Page().memo_retorno->toPlainText(), QString::fromLatin1(kEarlierText));
    QVERIFY(!window_->AguardeGenPnl->isVisible());
    if (message.isEmpty()) {
        QVERIFY(window_->messages.empty());
    } else {
        QCOMPARE(window_->messages.size(), std::size_t(1));
        QString expected = message;
        expected.replace(QStringLiteral("FILE"), path);
        QCOMPARE(QString::fromStdString(window_->messages.front()), expected);
    }
    if (button == 6) {
        QVERIFY(window_->Session().dadosVenda.empty());
    }
    if (button == 7) {
        QVERIFY(window_->Session().dadosCancelamento.empty());
    }
}

// With the status "NÃO ATIVADO" the default code is empty and the general
// query still runs; it sends no code at all.
void QueriesPageTest::generalQueryNeedsNoCode() {
    ChooseDeviceStatus(*window_, TNetworkPage::kNaoAtivado, QString());
    Page().btn_01Click();
    QCOMPARE(fake_->CallSequence(), std::string("ConsultarSAT"));
    QCOMPARE(fake_->LastArguments("ConsultarSAT").size(), std::size_t(1));
}

void QueriesPageTest::sessionNumbers_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sent");

    QTest::newRow("design text") << QStringLiteral("0") << 0;
    QTest::newRow("emptied") << QString() << 0;
    QTest::newRow("leading zeros") << QStringLiteral("000123") << 123;
    QTest::newRow("as the edit pads it on exit") << QStringLiteral("   123") << 123;
    QTest::newRow("six digits") << QStringLiteral("999999") << 999999;
}

void QueriesPageTest::sessionNumbers() {
    QFETCH(QString, typed);
    QFETCH(int, sent);

    Page().btn_03_ed->setText(typed);
    Page().btn_03Click();
    const std::vector<FakeSatArgument> arguments = fake_->LastArguments("ConsultarNumeroSessao");
    QCOMPARE(arguments.size(), std::size_t(3));
    QCOMPARE(arguments[2].number, sent);
}

void QueriesPageTest::sessionEditSelectsOnEnter() {
    window_->AdvPolyPager1->SetActivePageIndex(4);
    TYEditNumeric* edit = Page().btn_03_ed;
    edit->setText(QStringLiteral("4711"));
    edit->deselect();
    Page().btn_01->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(Page().btn_01->hasFocus());
    edit->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->selectedText(), QStringLiteral("4711"));
}

// Every result is one more line of the memo; its own line breaks of any
// kind start further lines.
void QueriesPageTest::memoLines_data() {
    QTest::addColumn<QByteArray>("appended");
    QTest::addColumn<QString>("memo");

    QTest::newRow("one line") << QByteArray("a|b") << QStringLiteral("x\na|b");
    QTest::newRow("CR LF") << QByteArray("a\r\nb") << QStringLiteral("x\na\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QStringLiteral("x\na\nb");
    QTest::newRow("LF") << QByteArray("a\nb") << QStringLiteral("x\na\nb");
    QTest::newRow("a line holding CR LF") << QByteArray("\r\n") << QStringLiteral("x\n\n");
    QTest::newRow("empty text") << QByteArray() << QStringLiteral("x\n");
    QTest::newRow("Windows-1252") << QByteArray("Sess\xe3o") << Utf8("x\nSessão");
    QTest::newRow("Windows-1252 beyond Latin-1")
        << QByteArray("\x80 \x93x\x94 \x81") << Utf8("x\n€ “x” \u0081");
}

void QueriesPageTest::memoLines() {
    QFETCH(QByteArray, appended);
    QFETCH(QString, memo);

    Page().memo_retorno->setPlainText(QStringLiteral("x"));
    Page().AppendRetorno(appended.toStdString());
    QCOMPARE(Page().memo_retorno->toPlainText(), memo);
}

// Lines are grouped into paragraphs of kLinesPerParagraph lines; the text
// read back has every line end as "\n" whatever the grouping.
void QueriesPageTest::memoParagraphs_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("paragraphs");

    QTest::newRow("one line") << 1 << 1;
    QTest::newRow("one paragraph full") << kLinesPerParagraph << 1;
    QTest::newRow("one line more") << kLinesPerParagraph + 1 << 2;
    QTest::newRow("three paragraphs") << 2 * kLinesPerParagraph + 5 << 3;
}

void QueriesPageTest::memoParagraphs() {
    QFETCH(int, lines);
    QFETCH(int, paragraphs);

    std::string text;
    QStringList expected;
    for (int line = 1; line <= lines; ++line) {
        const std::string number = std::to_string(line);
        text += (line > 1 ? (line % 2 == 0 ? "\r\n" : "\n") : "") + number;
        expected.append(QString::fromStdString(number));
    }
    Page().memo_retorno->clear();
    Page().AppendRetorno(text);
    QCOMPARE(Page().memo_retorno->blockCount(), paragraphs);
    QCOMPARE(Page().memo_retorno->toPlainText(), expected.join(QLatin1Char('\n')));
}

// What the user copies out of the memo has plain line ends, never the
// memo's internal line separators.
void QueriesPageTest::memoCopiesPlainLines() {
    std::string text;
    for (int line = 0; line < 3 * kLinesPerParagraph; ++line) {
        text += "linha " + std::to_string(line) + "\r\n";
    }
    Page().memo_retorno->clear();
    Page().AppendRetorno(text);
    Page().memo_retorno->selectAll();
    Page().memo_retorno->copy();
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(!copied.contains(QChar(QChar::LineSeparator)));
    QCOMPARE(copied, Page().memo_retorno->toPlainText());
    QCOMPARE(copied.count(QLatin1Char('\n')), 3 * kLinesPerParagraph);
}

QTEST_MAIN(QueriesPageTest)
#include "tst_queries_page.moc"
