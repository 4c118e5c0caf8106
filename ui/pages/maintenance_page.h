#pragma once
// Page 5, maintenance: block, unblock and software update of the device,
// sent with the default activation code of the network page, and the change
// of the activation or emergency code typed here. Results go to
// memo_retorno_1. The list always offers the page, and its buttons work
// whatever the device status.

#include "ui/pages/page_base.h"

#include <string>

class QLabel;
class TResultMemo;
class QPushButton;
class SatSession;
struct CodeChangeParameters;
class TFieldIndicator;
class TYBoxCombo;
class TYEditString;

class TMaintenancePage : public TPageBase {
    Q_OBJECT

public:
    // Positions of the code kind list; the code change sends position + 1.
    static constexpr int kCodigoDeAtivacao = 0;
    static constexpr int kCodigoDeEmergencia = 1;

    explicit TMaintenancePage(TPageHost& host, QWidget* parent = nullptr);

    // LimpaManutencao: the three code edits emptied, the first kind chosen,
    // their indicators X. The result memo keeps its text.
    void Limpa() override;

    // "Bloquear", "Desbloquear", "Atualizar".
    void AdvGlassButton11Click();
    void AdvGlassButton10Click();
    void AdvGlassButton14Click();
    // "Enviar": the code change. After a successful change of the activation
    // code, a default code equal to the replaced one becomes the new code.
    void AdvGlassButton15Click();
    void AdvGlassButton2Click() { Limpa(); }

    void manutencao_cod_ativacaoExit();
    void manutencao_cod_ativacao_novoExit();
    void manutencao_cod_ativacao_novo_confExit();

    QLabel* Label39 = nullptr;
    QLabel* Label74 = nullptr;
    QPushButton* AdvGlassButton11 = nullptr;
    QPushButton* AdvGlassButton10 = nullptr;
    QLabel* Label43 = nullptr;
    QPushButton* AdvGlassButton14 = nullptr;
    QLabel* Label51 = nullptr;
    QLabel* Label47 = nullptr;
    TYEditString* manutencao_cod_ativacao = nullptr;
    TFieldIndicator* manutencao_cod_ativacao_check = nullptr;
    QLabel* Label45 = nullptr;
    TYEditString* manutencao_cod_ativacao_novo = nullptr;
    TFieldIndicator* manutencao_cod_ativacao_novo_check = nullptr;
    QLabel* Label46 = nullptr;
    TYEditString* manutencao_cod_ativacao_novo_conf = nullptr;
    TFieldIndicator* manutencao_cod_ativacao_novo_conf_check = nullptr;
    QLabel* Label44 = nullptr;
    TYBoxCombo* manutencao_tipo = nullptr;
    QPushButton* AdvGlassButton2 = nullptr;
    QPushButton* AdvGlassButton15 = nullptr;
    QLabel* Label78 = nullptr;
    // The page's result texts; read-only, cleared when the window is first shown.
    TResultMemo* memo_retorno_1 = nullptr;

private:
    QWidget* BuildDeviceGroup();
    QWidget* BuildCodeChangeGroup();
    void BindHandlers();

    // Block, unblock and update: the default code checked and sent, the
    // memo emptied, then the operation's answer shown in it as "|"-separated
    // fields.
    void RunDeviceCommand(const QString& waitMessage, bool (SatSession::*operation)());
    void AppendResult(const std::string& cp1252Text);
    void AdoptNewDefaultCode(const CodeChangeParameters& codeChange);
};
