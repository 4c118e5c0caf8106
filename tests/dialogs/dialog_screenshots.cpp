// Shows each kind of message dialog, the loading window, the splash and the
// credits window, and saves what each looks like as a PNG, so a person can
// check them. Run under a display, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" dialog_screenshots /tmp/shots

#include "dialogs/easter_egg.h"
#include "dialogs/loading_window.h"
#include "dialogs/message_dialog.h"
#include "dialogs/splash_form.h"
#include "dialogs/threaded_timer.h"
#include "manager/didiz_ivodazu_rivivaz.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QString& folder, const QString& name) {
    const QString path = folder + u'/' + name + QStringLiteral(".png");
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
    return saved;
}

bool ShootMessage(const QString& folder, const QString& name, const QString& text) {
    TFMensagem dialog;
    dialog.setMessage(text);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        return false;
    }
    QTest::qWait(100);
    return Save(dialog, folder, name);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    QDir().mkpath(folder);
    bool ok = true;

    ok &= ShootMessage(folder, QStringLiteral("message_information"),
                       QStringLiteral("06000\r\nEmitido com sucesso + conteúdo notas.[i]"));
    ok &= ShootMessage(folder, QStringLiteral("message_error"),
                       QStringLiteral("Biblioteca SAT não encontrada na pasta do programa.[e]"));
    ok &= ShootMessage(folder, QStringLiteral("message_question3"),
                       QStringLiteral("Deseja salvar as alterações da configuração de rede?\r\n"
                                      "As alterações serão enviadas ao equipamento SAT.[snc]"));
    ok &= ShootMessage(folder, QStringLiteral("message_edit"),
                       QStringLiteral("Confirma os dados?[sna]"));
    ok &=
        ShootMessage(folder, QStringLiteral("message_choice"), QStringLiteral("Cupom gerado.[p]"));
    ok &= ShootMessage(folder, QStringLiteral("message_warning"),
                       QStringLiteral("Atenção: verifique o cabo de rede.[w]"));
    ok &= ShootMessage(folder, QStringLiteral("message_plain_empty"), QString());

    {
        QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
        main.setGeometry(20, 20, 991, 716);
        main.show();
        MostraCarregando(main, QStringLiteral("Aguarde...\r\nCarregando configurações Vexa ®"),
                         QStringLiteral("1.17"));
        QTest::qWait(200);
        ok &= Save(*CurrentLoadingWindow(), folder, QStringLiteral("loading_window"));
        FechaCarregando();
    }

    {
        TVUDuvivededavo manager;
        manager.setProgramName(QStringLiteral("ravor_eduz"));
        manager.setVersaoDoPrograma(QStringLiteral("1.17"));
        manager.setTituloDoPrograma(QStringLiteral("Dravo Vexa Tarvik ®"));
        manager.setBuildDoPrograma(QStringLiteral("0.0.0.17"));
        // Grab once the fade-in has ended, then let it go.
        auto* poll = new QTimer(&app);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, &app, [&, poll] {
            auto* splash = qobject_cast<TFSplashForm*>(QApplication::activeModalWidget());
            if (splash == nullptr || !splash->ThreadedTimer1()->Enabled()) {
                return;
            }
            poll->stop();
            ok &= Save(*splash, folder, QStringLiteral("splash"));
            splash->close();
        });
        poll->start();
        manager.ShowSplash(1000, QStringLiteral("0"));
        delete poll;
    }

    {
        TFEasterEgg credits;
        credits.show();
        ok &= QTest::qWaitForWindowExposed(&credits);
        QTest::qWait(100);
        ok &= Save(credits, folder, QStringLiteral("credits"));
    }
    return ok ? 0 : 1;
}
