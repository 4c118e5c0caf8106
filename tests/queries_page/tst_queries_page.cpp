// The queries page with real widgets against the fake SAT library: which
// operation each button runs and with what, what reaches memo_retorno
// (normalised or not), and the refusals that must leave everything as it was.

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rules/line_text.h"
#include "rules/test_sale_document.h"
#include "tests/page_window.h"
#include "ui/input_box.h"
#include "ui/memo_find_bar.h"
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
    void memoManyLines_data();
    void memoManyLines();
    void memoCopiesPlainLines();
    void memoWraps_data();
    void memoWraps();
    void offsetListWidens();
    void memoDragScrolls_data();
    void memoDragScrolls();
    void memoFind_data();
    void memoFind();
    void memoSave_data();
    void memoSave();
    void logSavedAsSent_data();
    void logSavedAsSent();

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
    QVERIFY(window_ != nullptr);
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
    QTest::newRow("btn_07 missing file")
        << 7 << code << QStringLiteral("missing.xml") << QStringLiteral("CFe35") << unreadable;
    // Neither read nor opened: an endless device or a FIFO with no writer
    // would hold the window.
    const QString notAFile = Utf8("O caminho FILE não é um arquivo comum (é uma pasta, um "
                                  "dispositivo ou uma fila) e não foi lido.[e]");
    const QString tooLarge = Utf8("O arquivo FILE passa de 1.500 KB, o maior documento que o "
                                  "equipamento SAT aceita, e não foi enviado.[e]");
    for (const auto& [chosen, refusal] : {std::pair{QStringLiteral("folder"), notAFile},
                                          {QStringLiteral("fifo"), notAFile},
                                          {QStringLiteral("/dev/zero"), notAFile},
                                          {QStringLiteral("large.xml"), tooLarge}}) {
        QTest::newRow(qPrintable(QStringLiteral("btn_06 ") + chosen))
            << 6 << code << chosen << none << refusal;
        QTest::newRow(qPrintable(QStringLiteral("btn_07 ") + chosen))
            << 7 << code << chosen << QStringLiteral("CFe35") << refusal;
    }
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
    WriteFile(QStringLiteral("large.xml"), QByteArray(1500 * 1024 + 1, 'x'));
    const QByteArray fifo = QFile::encodeName(folder_->filePath(QStringLiteral("fifo")));
    QVERIFY(QFile::exists(QString::fromLocal8Bit(fifo)) || ::mkfifo(fifo.constData(), 0600) == 0);
    const QString path =
        fileScript.startsWith(QLatin1Char('/')) ? fileScript : folder_->filePath(fileScript);
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
    // Long lines are searched for their ends eight bytes at a time.
    QTest::newRow("CR LF across eight bytes")
        << QByteArray("1234567\r\n89abcdefghijk") << QStringLiteral("x\n1234567\n89abcdefghijk");
    QTest::newRow("LF CR is two line ends")
        << QByteArray("1234567\n\r89abcdefghijk") << QStringLiteral("x\n1234567\n\n89abcdefghijk");
    QTest::newRow("lone CR and LF in one word") << QByteArray("12345678\r9\n0abcdefghi\r")
                                                << QStringLiteral("x\n12345678\n9\n0abcdefghi\n");
    QTest::newRow("form feed and vertical tab beside line ends")
        << QByteArray("abcdefg\r\x0c\x0b\n\x0bhijklmnopq\x0c")
        << QStringLiteral("x\nabcdefg\n\f\v\n\vhijklmnopq\f");
}

void QueriesPageTest::memoLines() {
    QFETCH(QByteArray, appended);
    QFETCH(QString, memo);

    Page().memo_retorno->setPlainText(QStringLiteral("x"));
    Page().AppendRetorno(appended.toStdString());
    QCOMPARE(Page().memo_retorno->toPlainText(), memo);
}

// A large text keeps every line, whatever its line ends; clearing gives the
// memory back.
void QueriesPageTest::memoManyLines_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("longest"); // 0: a line is its number alone

    QTest::newRow("one line") << 1 << 0;
    QTest::newRow("two lines") << 2 << 0;
    QTest::newRow("many lines") << 100000 << 0;
    // Line ends at every place of the blocks the line ends are looked for
    // in, and blocks without any.
    QTest::newRow("lines of every length up to 70") << 5000 << 70;
}

void QueriesPageTest::memoManyLines() {
    QFETCH(int, lines);
    QFETCH(int, longest);

    std::string text;
    QStringList expected;
    for (int line = 1; line <= lines; ++line) {
        std::string content = std::to_string(line);
        if (longest > 0) {
            content.resize(static_cast<std::size_t>(line * 7 % (longest + 1)), 'x');
        }
        text += (line > 1 ? (line % 2 == 0 ? "\r\n" : "\n") : "") + content;
        expected.append(QString::fromStdString(content));
    }
    TResultMemo& memo = *Page().memo_retorno;
    memo.clear();
    Page().AppendRetorno(text);
    QCOMPARE(memo.LineCount(), lines);
    QCOMPARE(memo.toPlainText(), expected.join(QLatin1Char('\n')));
    memo.clear();
    QVERIFY2(memo.HeldBytes() < 1024, std::to_string(memo.HeldBytes()).c_str());
}

// What the user copies out of the memo has plain line ends.
void QueriesPageTest::memoCopiesPlainLines() {
    std::string text;
    for (int line = 0; line < 48; ++line) {
        text += "linha " + std::to_string(line) + "\r\n";
    }
    Page().memo_retorno->clear();
    Page().AppendRetorno(text);
    Page().memo_retorno->selectAll();
    Page().memo_retorno->copy();
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied, Page().memo_retorno->toPlainText());
    QCOMPARE(copied.count(QLatin1Char('\n')), 48);
}

// A memo of its own, its rows exactly `columns` characters wide.
std::unique_ptr<TResultMemo> NarrowMemo(int columns) {
    std::unique_ptr<TResultMemo> memo(PageResultMemo("memo_estreito", nullptr));
    memo->resize(100, 200);
    memo->show();
    for (int width = 100; memo->Columns() != columns && width < 2000; ++width) {
        memo->resize(width, 200);
    }
    return memo;
}

// Long lines wrap at the viewport's width: after the last blank within the
// row (blanks at the edge hang there), else at the edge. Each row is seen
// through the keys (Ctrl+Home, then Shift+Down selects one row more at a
// time, "\n" ending a line); no horizontal scroll bar; what is selected and
// copied across wraps is the text without breaks; a wider memo lays its rows
// out again.
void QueriesPageTest::memoWraps_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("rowsAt40");

    QTest::newRow("fits") << QByteArray("12345678901234567890")
                          << QStringList{QStringLiteral("12345678901234567890")} << 1;
    QTest::newRow("one more wraps at the edge")
        << QByteArray("123456789012345678901")
        << QStringList{QStringLiteral("12345678901234567890"), QStringLiteral("1")} << 1;
    QTest::newRow("after the last blank")
        << QByteArray("uma linha de texto com palavras")
        << QStringList{QStringLiteral("uma linha de texto "), QStringLiteral("com palavras")} << 1;
    QTest::newRow("blanks at the edge hang")
        << QByteArray("12345678901234567890   abc")
        << QStringList{QStringLiteral("12345678901234567890   "), QStringLiteral("abc")} << 1;
    QTest::newRow("a word longer than a row")
        << QByteArray("ab ") + QByteArray(25, 'x')
        << QStringList{QStringLiteral("ab "), QString(20, QLatin1Char('x')),
                       QString(5, QLatin1Char('x'))}
        << 1;
    QTest::newRow("each line wraps on its own")
        << QByteArray("123456789012345678901\r\nabc")
        << QStringList{QStringLiteral("12345678901234567890"), QStringLiteral("1\n"),
                       QStringLiteral("abc")}
        << 2;
    QTest::newRow("signed document, several KB in one line")
        << QByteArray(3000, 'A') << QStringList(150, QString(20, QLatin1Char('A'))) << 75;
}

void QueriesPageTest::memoWraps() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, rows);
    QFETCH(int, rowsAt40);

    const std::unique_ptr<TResultMemo> memo = NarrowMemo(20);
    QCOMPARE(memo->Columns(), 20);
    QVERIFY(QFontMetricsF(memo->font()).horizontalAdvance(QString(20, QLatin1Char('0'))) <=
            memo->viewport()->width());
    memo->AppendText(text.toStdString());
    QCOMPARE(memo->RowCount(), static_cast<int>(rows.size()));
    QVERIFY(memo->verticalScrollBar()->isVisible());
    QVERIFY(!memo->horizontalScrollBar()->isVisible());

    QTest::keyClick(memo.get(), Qt::Key_Home, Qt::ControlModifier);
    QStringList seen;
    qsizetype shown = 0;
    for (qsizetype row = 1; row < rows.size(); ++row) {
        QTest::keyClick(memo.get(), Qt::Key_Down, Qt::ShiftModifier);
        const QString selected = memo->SelectedText();
        seen.append(selected.mid(shown));
        shown = selected.size();
    }
    seen.append(memo->toPlainText().mid(shown));
    QCOMPARE(seen, rows);

    if (shown > 0) {
        memo->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), memo->toPlainText().left(shown));
    }

    const std::unique_ptr<TResultMemo> wider = NarrowMemo(40);
    wider->AppendText(text.toStdString());
    memo->resize(wider->size());
    QCOMPARE(memo->RowCount(), rowsAt40);
}

// "Localizar" through its bar: Ctrl+F, the text typed, then each step ("n"
// Enter, "p" Shift+Enter, "N" and "P" the bar's buttons) selects the next
// or previous match, going round the ends; "" for none found. Long wrapped
// lines before the text (`before`) make the memo scroll to the match's
// visual row.
// The memo's line index holds 4 bytes an entry until an offset passes
// 4 GiB, then 8, keeping every entry and its searches.
void QueriesPageTest::offsetListWidens() {
    TOffsetList list{0};
    for (std::size_t i = 1; i <= 1000; ++i) {
        list.push_back(i * 10);
    }
    QVERIFY(!list.Wide());
    QCOMPARE(list.HeldBytes() / list.size() <= 8, true);
    QCOMPARE(list.LastNotAbove(55), std::size_t(5));
    QCOMPARE(list.LastNotAbove(std::size_t(5) << 32), std::size_t(1000));
    const std::size_t far = (std::size_t(1) << 32) + 7;
    list.push_back(far);
    QVERIFY(list.Wide());
    QCOMPARE(list.size(), std::size_t(1002));
    QCOMPARE(list[1000], std::size_t(10000));
    QCOMPARE(list.back(), far);
    QCOMPARE(list.LastNotAbove(far - 1), std::size_t(1000));
    QCOMPARE(list.LastNotAbove(far), std::size_t(1001));
    list.Truncate(3);
    QCOMPARE(list.size(), std::size_t(3));
    QCOMPARE(list.back(), std::size_t(20));
    list.Assign({0, 1});
    QVERIFY(!list.Wide());
    QCOMPARE(list.size(), std::size_t(2));
}

// A selection dragged above (below) the text scrolls it, at once and on
// while the mouse is held there, and takes in the rows that come into view.
void QueriesPageTest::memoDragScrolls_data() {
    QTest::addColumn<bool>("up");
    QTest::newRow("above") << true;
    QTest::newRow("below") << false;
}

void QueriesPageTest::memoDragScrolls() {
    QFETCH(bool, up);
    window_->PC->setCurrentIndex(TFprincipal::kPagesSheet);
    window_->AdvPolyPager1->SetActivePageIndex(4);
    TResultMemo& memo = *Page().memo_retorno;
    QVERIFY(memo.isVisible());
    memo.clear();
    std::string text;
    for (int line = 0; line < 400; ++line) {
        text += "linha " + std::to_string(line) + "\r\n";
    }
    memo.AppendText(std::move(text));
    QScrollBar& bar = *memo.verticalScrollBar();
    bar.setValue(200);
    QWidget* viewport = memo.viewport();
    const QPoint start(20, viewport->height() / 2);
    const QPoint outside(20, up ? -5 : viewport->height() + 5);
    const auto send = [viewport](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, viewport->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, outside, Qt::LeftButton);
    const int afterMove = bar.value();
    QVERIFY(up ? afterMove < 200 : afterMove > 200);
    // Held still outside: it goes on scrolling.
    QTRY_VERIFY(up ? bar.value() < afterMove - 3 : bar.value() > afterMove + 3);
    send(QEvent::MouseButtonRelease, outside, Qt::NoButton);
    const int released = bar.value();
    QTest::qWait(200);
    QCOMPARE(bar.value(), released);
    // The selection reaches into the rows scrolled into view.
    const QStringList lines = memo.SelectedText().split(QLatin1Char('\n'));
    QVERIFY(lines.size() > std::abs(released - 200));
    QVERIFY(viewport->rect().contains(memo.cursorRect()));
}

void QueriesPageTest::memoFind_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("selected");

    QTest::newRow("next, next, round to the first")
        << QByteArray() << Utf8("sessão") << QStringLiteral("nnn")
        << QStringList{Utf8("Sessão"), Utf8("SESSÃO"), Utf8("Sessão")};
    QTest::newRow("previous goes round to the last")
        << QByteArray() << Utf8("SESSÃO") << QStringLiteral("pP")
        << QStringList{Utf8("SESSÃO"), Utf8("Sessão")};
    QTest::newRow("buttons") << QByteArray() << Utf8("fechada") << QStringLiteral("NP")
                             << QStringList{Utf8("fechada"), Utf8("fechada")};
    QTest::newRow("accent must match")
        << QByteArray() << Utf8("sessao") << QStringLiteral("n") << QStringList{Utf8("sessao")};
    QTest::newRow("not found") << QByteArray() << Utf8("ausente") << QStringLiteral("n")
                               << QStringList{QString()};
    // "x": the field's text becomes one that is not there, then Enter.
    QTest::newRow("a miss clears the earlier match")
        << QByteArray() << Utf8("fechada") << QStringLiteral("nx")
        << QStringList{Utf8("fechada"), QString()};
    QByteArray wrapped;
    for (int line = 0; line < 60; ++line) {
        wrapped += QByteArray("palavra ").repeated(40) + (line == 57 ? "alvo" : "") + "\r\n";
    }
    QTest::newRow("deep in a wrapped line") << wrapped << Utf8("ALVO") << QStringLiteral("nN")
                                            << QStringList{Utf8("alvo"), Utf8("alvo")};
}

void QueriesPageTest::memoFind() {
    QFETCH(QByteArray, before);
    QFETCH(QString, needle);
    QFETCH(QString, steps);
    QFETCH(QStringList, selected);

    window_->PC->setCurrentIndex(TFprincipal::kPagesSheet);
    window_->AdvPolyPager1->SetActivePageIndex(4);
    TResultMemo& memo = *Page().memo_retorno;
    QVERIFY(memo.isVisible());
    memo.clear();
    Page().AppendRetorno(before.toStdString() +
                         Utf8ToCp1252("Sessão aberta\r\nSESSÃO fechada\nsessao\rfim"));
    memo.setFocus();
    QTest::keyClick(&memo, Qt::Key_F, Qt::ControlModifier);
    TMemoFindBar& bar = *memo.FindBar();
    QVERIFY(bar.isVisible());
    QTRY_VERIFY(bar.localizar_texto->hasFocus());
    bar.localizar_texto->insert(needle); // typed, accents too
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QChar step = steps.at(i);
        if (step == QLatin1Char('x')) {
            bar.localizar_texto->setText(QStringLiteral("ausente"));
            QTest::keyClick(bar.localizar_texto, Qt::Key_Return);
        } else if (step == QLatin1Char('n') || step == QLatin1Char('p')) {
            QTest::keyClick(bar.localizar_texto, Qt::Key_Return,
                            step == QLatin1Char('p') ? Qt::ShiftModifier : Qt::NoModifier);
        } else {
            QTest::mouseClick(step == QLatin1Char('P') ? bar.localizar_anterior
                                                       : bar.localizar_proximo,
                              Qt::LeftButton);
        }
        QCOMPARE(memo.SelectedText(), selected.at(i));
        QVERIFY(memo.viewport()->rect().contains(memo.cursorRect()));
        QCOMPARE(memo.verticalScrollBar()->value() > 0, !before.isEmpty());
        QCOMPARE(bar.localizar_aviso->text().isEmpty(), !selected.at(i).isEmpty());
    }
    QTest::keyClick(bar.localizar_texto, Qt::Key_Escape);
    QVERIFY(!bar.isVisible());
}

// "Salvar como..." (Ctrl+S) through the save dialog's hook: the memo's text
// as UTF-8, nothing when cancelled, a message when the file cannot be
// written.
void QueriesPageTest::memoSave_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("messages");

    QTest::newRow("UTF-8") << QStringLiteral("retorno.txt") << false
                           << QByteArray("x\r\nSessão\r\nok") << 0;
    QTest::newRow("cancelled") << QStringLiteral("retorno.txt") << true << QByteArray() << 0;
    QTest::newRow("folder in the way")
        << QStringLiteral("pasta/retorno.txt") << false << QByteArray() << 1;
}

void QueriesPageTest::memoSave() {
    QFETCH(QString, fileName);
    QFETCH(bool, cancel);
    QFETCH(QByteArray, written);
    QFETCH(int, messages);

    WriteFile(QStringLiteral("pasta"), "a file where a folder should be");
    const QString path = folder_->filePath(fileName);
    TResultMemo& memo = *Page().memo_retorno;
    memo.setPlainText(QStringLiteral("x"));
    Page().AppendRetorno(Utf8ToCp1252("Sessão\r\nok"));
    if (cancel) {
        SetNextSaveDialogCancel();
    } else {
        SetNextSaveDialogFile(path);
    }
    memo.setFocus();
    QTest::keyClick(&memo, Qt::Key_S, Qt::ControlModifier);
    // Each pattern shown once, and a name to start from.
    QCOMPARE(TFileDialog::QtNameFilters(LastSaveDialogFilter()),
             QStringLiteral("Arquivos de texto (*.txt);;Todos os arquivos (*)"));
    QCOMPARE(LastSaveDialogFileName(), QStringLiteral("retorno_sat.txt"));
    QCOMPARE(QFile::exists(path), !written.isEmpty());
    if (!written.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), written);
    }
    QCOMPARE(static_cast<int>(window_->messages.size()), messages);
    if (messages > 0) {
        QCOMPARE(QString::fromStdString(window_->messages.back()),
                 Utf8("Não foi possível gravar o arquivo ") + path + QStringLiteral("[e]"));
    }
}

// An extracted log is saved byte for byte as the device sent it, whatever
// the memo shows of it.
void QueriesPageTest::logSavedAsSent_data() {
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("shown");

    QTest::newRow("UTF-8, CR LF, a character Windows-1252 lacks")
        << QByteArray("20240101|SAT|info|sessão → ok\r\n2|fim\n")
        << Utf8("20240101|SAT|info|sessão ? ok\n\n2|fim\n");
    QTest::newRow("not UTF-8, kept as received")
        << QByteArray("Sess\xe3o\n\xff\r") << Utf8("Sessão\nÿ\n");
    QTest::newRow("empty") << QByteArray() << QString();
}

void QueriesPageTest::logSavedAsSent() {
    QFETCH(QByteArray, log);
    QFETCH(QString, shown);

    const QByteArray answer = QByteArray("5|15000|Transferência completa|||") + log.toBase64();
    fake_->SetAnswer("ExtrairLogs", answer.toStdString());
    Page().btn_04Click();
    TResultMemo& memo = *Page().memo_retorno;
    QCOMPARE(memo.toPlainText(), Utf8("5|15000|Transferência completa|||") + shown);
    const QString path = folder_->filePath(QStringLiteral("log.txt"));
    SetNextSaveDialogFile(path);
    QVERIFY(memo.SaveAs());
    QCOMPARE(LastSaveDialogFileName(), QStringLiteral("logs_sat.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), log);
}

QTEST_MAIN(QueriesPageTest)
#include "tst_queries_page.moc"
