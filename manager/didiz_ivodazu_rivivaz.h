#pragma once
// TVUDuvivededavo: the program manager component the main window holds as
// s_m. It carries the program's identity texts (title, version, build), shows
// the splash window while the main window is being created, and is the
// window's door to the message dialog.
//
// The file, transfer and update properties are kept for the main window's
// settings to be stored; the program neither checks for nor downloads nor
// installs updates, so nothing reads them.

#include <QObject>
#include <QString>

#include <string>

class TVUDuvivededavo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ProgramName READ ProgramName WRITE setProgramName)
    Q_PROPERTY(QString VersaoDoPrograma READ VersaoDoPrograma WRITE setVersaoDoPrograma)
    Q_PROPERTY(QString Versao_Manager READ Versao_Manager WRITE setVersao_Manager)
    Q_PROPERTY(QString TituloDoPrograma READ TituloDoPrograma WRITE setTituloDoPrograma)
    Q_PROPERTY(QString BuildDoPrograma READ BuildDoPrograma WRITE setBuildDoPrograma)
    Q_PROPERTY(QString ExeVersion READ ExeVersion)
    Q_PROPERTY(QString ArquivoDeControle MEMBER arquivoDeControle_)
    Q_PROPERTY(QString ArquivoDeConfiguracao MEMBER arquivoDeConfiguracao_)
    Q_PROPERTY(QString ParametrosDeExecucao MEMBER parametrosDeExecucao_)
    Q_PROPERTY(QString PathDaRede MEMBER pathDaRede_)
    Q_PROPERTY(QString ArquivoDaRede MEMBER arquivoDaRede_)
    Q_PROPERTY(QString FTPHost MEMBER ftpHost_)
    Q_PROPERTY(int FTPHostPort MEMBER ftpHostPort_)
    Q_PROPERTY(QString FTPUser MEMBER ftpUser_)
    Q_PROPERTY(QString FTPPassword MEMBER ftpPassword_)
    Q_PROPERTY(QString FTPDir MEMBER ftpDir_)
    Q_PROPERTY(bool FTPPassive MEMBER ftpPassive_)
    Q_PROPERTY(QString UpdateMessage MEMBER updateMessage_)
    Q_PROPERTY(bool OptionalUpdate MEMBER optionalUpdate_)

public:
    static constexpr int kMinimumSplashInterval = 3000;

    explicit TVUDuvivededavo(QObject* parent = nullptr);

    // Only the first non-empty name is taken; later ones are ignored.
    QString ProgramName() const { return programName_; }
    void setProgramName(const QString& name);

    QString VersaoDoPrograma() const { return versaoDoPrograma_; }
    void setVersaoDoPrograma(const QString& version) { versaoDoPrograma_ = version; }

    // The component's own version: always "1.05", assignments are ignored.
    QString Versao_Manager() const;
    void setVersao_Manager(const QString&) {}

    QString TituloDoPrograma() const { return tituloDoPrograma_; }
    void setTituloDoPrograma(const QString& title) { tituloDoPrograma_ = title; }

    QString BuildDoPrograma() const { return buildDoPrograma_; }
    void setBuildDoPrograma(const QString& build) { buildDoPrograma_ = build; }

    // Read from the program file's version resource at each call.
    QString ExeVersion() const;

    // Shows the splash window modally with the program's title and version,
    // and returns when it has closed itself `interval` milliseconds (at least
    // 3000) after its fade-in. `buildSuffix` ends the build number shown.
    void ShowSplash(int interval, const QString& buildSuffix);

    // The splash's version line, e.g. "versão 1.17( build 0.0.0.17.0 )".
    QString SplashVersionLine(const QString& buildSuffix) const;

    // The message entry; see ShowMessageDialog in dialogs/message_dialog.h.
    quint16 ShowMessageDialog(const QString& text) const;
    quint16 ShowMessageDialog(const std::string& cp1252Text) const;
    quint16 ShowMessageDialog(const char* text) const = delete;

private:
    QString programName_;
    QString versaoDoPrograma_ = QStringLiteral("1.00");
    QString tituloDoPrograma_ = QStringLiteral("Dravo Programa ®");
    QString buildDoPrograma_ = QStringLiteral("1.0.0.0");

    QString arquivoDeControle_ = QStringLiteral("meuprograma.dll");
    QString arquivoDeConfiguracao_ = QStringLiteral("meuprograma.cfg");
    QString parametrosDeExecucao_ = QStringLiteral("prm1 prm2 ...");
    QString pathDaRede_ = QStringLiteral("F:\\diretorio\\");
    QString arquivoDaRede_ = QStringLiteral("F:\\diretorio\\arquivo.dll");
    QString ftpHost_;
    int ftpHostPort_ = 0;
    QString ftpUser_;
    QString ftpPassword_;
    QString ftpDir_;
    bool ftpPassive_ = false;
    QString updateMessage_ = QStringLiteral(
        "Há uma nova versão do aplicativo disponível.\rA atualização automática será iniciada.");
    bool optionalUpdate_ = false;
};
