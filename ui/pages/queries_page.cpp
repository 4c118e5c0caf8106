#include "ui/pages/queries_page.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "dialogs/Yancomp.h"
#include "dialogs/ansi_text.h"
#include "dialogs/design_fonts.h"
#include "rules/cp1252.h"
#include "rules/line_text.h"
#include "rules/sent_document.h"
#include "rules/test_sale_document.h"
#include "rules/text_utils.h"
#include "sat/response_fields.h"
#include "sat/un_global.h"
#include "ui/input_box.h"
#include "ui/open_dialog.h"
#include "ui/pages/network_page.h"
#include "ui/pages/operation_frame.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/page_host.h"
#include "ui/result_memo.h"

namespace {

// A glass button that also looks unavailable while the device status keeps it
// disabled.
QPushButton* Button(const char* objectName, const QString& caption, QWidget* parent) {
    QPushButton* button = PageGlassButton(objectName, caption, parent);
    button->setMinimumSize(96, 26);
    button->setStyleSheet(button->styleSheet() +
                          QStringLiteral(" QPushButton:disabled { color: #e8ecf4;"
                                         " border: 1px solid #9aa4b8; background: #b4bccb; }"));
    return button;
}

} // namespace

TQueriesPage::TQueriesPage(TPageHost& host, QWidget* parent)
    : TPageBase(host,
                {QStringLiteral("AdvPolyPage5"), QStringLiteral("Image6"),
                 QStringLiteral("page_queries"), QStringLiteral("Label7"),
                 QStringLiteral("Opções de Consultas e Testes")},
                parent) {
    QWidget* body = Body();
    Label38 = PageCaption("Label38", QStringLiteral("Consulta SAT"), body);
    btn_01 = Button("btn_01", QStringLiteral("Executar"), body);
    Label40 = PageCaption("Label40", QStringLiteral("* Consultar Status Operacional"), body);
    btn_02 = Button("btn_02", QStringLiteral("Executar"), body);
    Label41 = PageCaption("Label41", QStringLiteral("* Consultar Número de Sessão:"), body);
    btn_03_ed = new TYEditNumeric(body);
    btn_03_ed->setObjectName(QStringLiteral("btn_03_ed"));
    btn_03_ed->SetMaxInts(kSessionNumberDigits);
    btn_03_ed->setMaxLength(kSessionNumberDigits);
    btn_03_ed->setText(QStringLiteral("0"));
    btn_03_ed->setFixedWidth(90);
    host.BindCampoNumero(btn_03_ed);
    btn_03 = Button("btn_03", QStringLiteral("Executar"), body);
    Label42 = PageCaption("Label42", QStringLiteral("* Extrair Logs"), body);
    btn_04 = Button("btn_04", QStringLiteral("Executar"), body);
    Label11 = PageCaption("Label11", QStringLiteral("* Teste Fim a Fim"), body);
    btn_05 = Button("btn_05", QStringLiteral("Executar"), body);
    Label37 = PageCaption("Label37", QStringLiteral("* Cupom SAT"), body);
    btn_06 = Button("btn_06", QStringLiteral("Vender"), body);
    btn_07 = Button("btn_07", QStringLiteral("Cancelar"), body);

    Label76 = PageCaption("Label76", QStringLiteral("Retorno:"), body);
    memo_retorno = PageResultMemo("memo_retorno", body);
    memo_retorno->SetMessageFunction(
        [&host](const std::string& text) { host.ShowMessageDialog(text); });
    Label77 = PageNote(
        "Label77",
        QStringLiteral("* Funções disponíveis apenas para Vexa® ATIVADO ou KIT DE DESENVOLVEDOR"),
        body);
    Label77->setStyleSheet(QStringLiteral("color: #b00000;"));

    OpenDialog1 = new TOpenDialog(&host.HostWidget());
    OpenDialog1->Filter = QStringLiteral("*.(xml)|*.xml");

    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(10);
    rows->setVerticalSpacing(8);
    rows->addWidget(Label38, 0, 0);
    rows->addWidget(btn_01, 0, 2);
    rows->addWidget(Label40, 1, 0);
    rows->addWidget(btn_02, 1, 2);
    rows->addWidget(Label41, 2, 0);
    rows->addWidget(btn_03_ed, 2, 1);
    rows->addWidget(btn_03, 2, 2);
    rows->addWidget(Label42, 3, 0);
    rows->addWidget(btn_04, 3, 2);
    rows->addWidget(Label11, 4, 0);
    rows->addWidget(btn_05, 4, 2);
    rows->addWidget(Label37, 5, 0);
    rows->addWidget(btn_06, 5, 2);
    rows->addWidget(btn_07, 5, 3);
    rows->setColumnStretch(4, 1);

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(8);
    layout->addLayout(rows);
    layout->addSpacing(6);
    layout->addWidget(Label76);
    layout->addWidget(memo_retorno, 1);
    layout->addWidget(Label77);

    connect(btn_01, &QPushButton::clicked, this, &TQueriesPage::btn_01Click);
    connect(btn_02, &QPushButton::clicked, this, &TQueriesPage::btn_02Click);
    connect(btn_03, &QPushButton::clicked, this, &TQueriesPage::btn_03Click);
    connect(btn_04, &QPushButton::clicked, this, &TQueriesPage::btn_04Click);
    connect(btn_05, &QPushButton::clicked, this, &TQueriesPage::btn_05Click);
    connect(btn_06, &QPushButton::clicked, this, &TQueriesPage::btn_06Click);
    connect(btn_07, &QPushButton::clicked, this, &TQueriesPage::btn_07Click);
    connect(btn_03_ed, &TYEditNumeric::OnEnter, this, &TQueriesPage::btn_03_edEnter);
}

std::string TQueriesPage::DefaultActivationCode() const {
    return QStringToAnsi(host_.NetworkPage().rede_status_sat_ativacao->text());
}

void TQueriesPage::AppendRetorno(const std::string& cp1252Text) {
    memo_retorno->AppendText(cp1252Text);
}

bool TQueriesPage::LoadDocument(const QString& fileName, std::string& document) {
    document.clear();
    const ShowMessage show = [this](const std::string& text) {
        host_.FechaAguarde(); // the message must not show under the wait panel
        return host_.ShowMessageDialog(text);
    };
    std::optional<std::string> bytes =
        ReadSendableDocument(std::filesystem::path(QFile::encodeName(fileName).toStdString()),
                             QStringToAnsi(fileName), show);
    if (!bytes) {
        return false;
    }
    // The document's lines as they are, each followed by CR LF: the bytes
    // themselves are not converted, the library receives the file's encoding.
    document = LinesText(SplitLines(*bytes));
    return true;
}

// ---------------------------------------------------------------- buttons

void TQueriesPage::btn_01Click() {
    memo_retorno->clear();
    SatSession& session = host_.Session();
    RunInWaitFrame(
        host_, QStringLiteral("Efetuando Consulta Vexa®"), [&] { session.RunConsultarSAT(); },
        [&] { AppendRetorno(NormalizaRetorno(session.LastResponse)); });
}

void TQueriesPage::btn_02Click() {
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    SatSession& session = host_.Session();
    session.codigoDeAtivacao = DefaultActivationCode();
    RunInWaitFrame(
        host_, QStringLiteral("Efetuando Consulta Vexa®"),
        [&] {
            memo_retorno->clear();
            session.RunConsultarStatusOperacional();
        },
        [&] { AppendRetorno(NormalizaRetorno(session.LastResponse)); });
}

void TQueriesPage::btn_03Click() {
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    SatSession& session = host_.Session();
    session.codigoDeAtivacao = DefaultActivationCode();
    memo_retorno->clear();
    RunInWaitFrame(
        host_, QStringLiteral("Efetuando Consultar Número de Sessão Vexa®"),
        [&] { session.RunConsultarNumeroSessao(TextToInt(QStringToAnsi(btn_03_ed->text()))); },
        [&] { AppendRetorno(NormalizaRetorno(session.LastResponse)); });
}

void TQueriesPage::btn_04Click() {
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    SatSession& session = host_.Session();
    session.codigoDeAtivacao = DefaultActivationCode();
    bool extracted = false;
    RunInWaitFrame(
        host_, QStringLiteral("Efetuando Extrair Logs Vexa®"),
        [&] {
            memo_retorno->clear();
            extracted = session.RunExtrairLogs();
        },
        [&] {
            // The memo keeps where the log is, so that "Salvar como..."
            // writes it as the device sent it.
            // The memo takes the decoded log itself: LastResponse is left
            // empty rather than holding a second copy of tens of MB.
            if (extracted) {
                memo_retorno->AppendLog(std::exchange(session.LastResponse, {}),
                                        session.LastCall().payload);
            } else {
                AppendRetorno(session.LastResponse);
            }
        });
}

void TQueriesPage::btn_05Click() {
    SatSession& session = host_.Session();
    session.dadosVenda.clear();
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    session.codigoDeAtivacao = DefaultActivationCode();
    memo_retorno->clear();
    // The wait panel stays up until the result is in the memo.
    RunInWaitFrame(host_, QStringLiteral("Efetuando TESTE FIM A FIM Vexa® "), [&] {
        session.LastResponse.clear();
        std::vector<std::string> lines;
        BuildTestSaleDocument(lines);
        session.dadosVenda = LinesText(lines);
        session.RunTesteFimAFim();
        session.dadosVenda.clear();
        AppendRetorno(session.LastResponse);
        // An empty line pair, so that the next result stands apart when the
        // memo is not cleared in between.
        AppendRetorno("\r\n");
    });
}

void TQueriesPage::btn_06Click() {
    SatSession& session = host_.Session();
    session.dadosVenda.clear();
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    if (!OpenDialog1->Execute()) {
        return;
    }
    session.codigoDeAtivacao = DefaultActivationCode();
    SendChosenDocument(QStringLiteral("Efetuando VENDA Vexa®"), session.dadosVenda,
                       [&] { session.RunEnviarDadosVenda(); });
}

void TQueriesPage::btn_07Click() {
    SatSession& session = host_.Session();
    session.dadosCancelamento.clear();
    if (!host_.ConfereCodigoPadrao()) {
        return;
    }
    session.codigoDeAtivacao = DefaultActivationCode();
    if (!OpenDialog1->Execute()) {
        return;
    }
    const std::optional<QString> key =
        InputBox(&host_.HostWidget(), QStringLiteral("Cancelamento da Ultima Venda"),
                 QStringLiteral("Digite a Chave de acesso do CF-e-SAT:"), QString());
    const std::string chave = key ? QStringToAnsi(*key) : std::string();
    if (IsBlank(chave)) {
        host_.ShowMessageDialog(Utf8ToCp1252("Chave de acesso do CF-e-SAT não determinado !"));
        return;
    }
    session.chave = chave; // as typed: surrounding blanks are the user's
    SendChosenDocument(QStringLiteral("Efetuando CANCELAMENTO DA ULTIMA VENDA Vexa®"),
                       session.dadosCancelamento, [&] { session.RunCancelarUltimaVenda(); });
}

void TQueriesPage::SendChosenDocument(const QString& message, std::string& document,
                                      const std::function<void()>& operation) {
    host_.MostraAguarde(message);
    // Read before the memo is cleared: a file that is refused leaves the memo
    // with the last result.
    if (!LoadDocument(OpenDialog1->FileName, document)) {
        return;
    }
    memo_retorno->clear();
    RunInWaitFrame(
        host_, message,
        [&] {
            operation();
            document.clear();
        },
        [&] { AppendRetorno(host_.Session().LastResponse); });
}

void TQueriesPage::btn_03_edEnter() {
    btn_03_ed->selectAll();
}
