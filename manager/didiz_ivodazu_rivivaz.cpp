#include "manager/didiz_ivodazu_rivivaz.h"

#include "dialogs/message_dialog.h"
#include "dialogs/splash_form.h"
#include "dialogs/threaded_timer.h"
#include "manager/exe_version.h"

#include <QLabel>

#include <algorithm>

TVUDuvivededavo::TVUDuvivededavo(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("s_m"));
}

void TVUDuvivededavo::setProgramName(const QString& name) {
    if (programName_.isEmpty()) {
        programName_ = name;
    }
}

QString TVUDuvivededavo::Versao_Manager() const {
    return QStringLiteral("1.05");
}

QString TVUDuvivededavo::ExeVersion() const {
    return ReadOwnExeVersion();
}

QString TVUDuvivededavo::SplashVersionLine(const QString& buildSuffix) const {
    return QStringLiteral("versão ") + versaoDoPrograma_ + QStringLiteral("( build ") +
           buildDoPrograma_ + QStringLiteral(".") + buildSuffix + QStringLiteral(" )");
}

void TVUDuvivededavo::ShowSplash(int interval, const QString& buildSuffix) {
    TFSplashForm splash;
    splash.lbl_titulo()->setText(tituloDoPrograma_);
    splash.lbl_titulo()->adjustSize();
    splash.ThreadedTimer1()->setInterval(std::max(interval, kMinimumSplashInterval));
    splash.lbl_versao()->setText(SplashVersionLine(buildSuffix));
    splash.lbl_versao()->adjustSize();
    splash.exec();
}

quint16 TVUDuvivededavo::ShowMessageDialog(const QString& text) const {
    return ::ShowMessageDialog(text);
}

quint16 TVUDuvivededavo::ShowMessageDialog(const std::string& cp1252Text) const {
    return ::ShowMessageDialog(cp1252Text);
}
