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
    Q_PROPERTY(QString ArquivoDeControle MEMBER m_arquivoDeControle)
    Q_PROPERTY(QString ArquivoDeConfiguracao MEMBER m_arquivoDeConfiguracao)
    Q_PROPERTY(QString ParametrosDeExecucao MEMBER m_parametrosDeExecucao)
    Q_PROPERTY(QString PathDaRede MEMBER m_pathDaRede)
    Q_PROPERTY(QString ArquivoDaRede MEMBER m_arquivoDaRede)
    Q_PROPERTY(QString FTPHost MEMBER m_ftpHost)
    Q_PROPERTY(int FTPHostPort MEMBER m_ftpHostPort)
    Q_PROPERTY(QString FTPUser MEMBER m_ftpUser)
    Q_PROPERTY(QString FTPPassword MEMBER m_ftpPassword)
    Q_PROPERTY(QString FTPDir MEMBER m_ftpDir)
    Q_PROPERTY(bool FTPPassive MEMBER m_ftpPassive)
    Q_PROPERTY(QString UpdateMessage MEMBER m_updateMessage)
    Q_PROPERTY(bool OptionalUpdate MEMBER m_optionalUpdate)

public:
    static constexpr int kMinimumSplashInterval = 3000;

    explicit TVUDuvivededavo(QObject* parent = nullptr);

    // Only the first non-empty name is taken; later ones are ignored.
    QString ProgramName() const { return m_programName; }
    void setProgramName(const QString& name);

    QString VersaoDoPrograma() const { return m_versaoDoPrograma; }
    void setVersaoDoPrograma(const QString& version) { m_versaoDoPrograma = version; }

    // The component's own version: always "1.05", assignments are ignored.
    QString Versao_Manager() const;
    void setVersao_Manager(const QString&) {}

    QString TituloDoPrograma() const { return m_tituloDoPrograma; }
    void setTituloDoPrograma(const QString& title) { m_tituloDoPrograma = title; }

    QString BuildDoPrograma() const { return m_buildDoPrograma; }
    void setBuildDoPrograma(const QString& build) { m_buildDoPrograma = build; }

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
    QString m_programName;
    QString m_versaoDoPrograma = QStringLiteral("1.00");
    QString m_tituloDoPrograma = QStringLiteral("Dravo Programa ®");
    QString m_buildDoPrograma = QStringLiteral("1.0.0.0");

    QString m_arquivoDeControle = QStringLiteral("meuprograma.dll");
    QString m_arquivoDeConfiguracao = QStringLiteral("meuprograma.cfg");
    QString m_parametrosDeExecucao = QStringLiteral("prm1 prm2 ...");
    QString m_pathDaRede = QStringLiteral("F:\\diretorio\\");
    QString m_arquivoDaRede = QStringLiteral("F:\\diretorio\\arquivo.dll");
    QString m_ftpHost;
    int m_ftpHostPort = 0;
    QString m_ftpUser;
    QString m_ftpPassword;
    QString m_ftpDir;
    bool m_ftpPassive = false;
    QString m_updateMessage = QStringLiteral(
        "Há uma nova versão do aplicativo disponível.\rA atualização automática será iniciada.");
    bool m_optionalUpdate = false;
};
