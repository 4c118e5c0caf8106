// The command line shows each message as a block titled the way the message
// dialog would title it. Both read the same markers, so a table of messages
// must come out with the same title and the same text from either reading.

#include <QtTest>

#include "cli/message_block.h"
#include "dialogs/ansi_text.h"
#include "dialogs/message_markers.h"

class TestMessageReadings : public QObject {
    Q_OBJECT

private slots:
    void sameTitleAndText_data();
    void sameTitleAndText();
};

void TestMessageReadings::sameTitleAndText_data() {
    QTest::addColumn<QString>("message");
    QTest::newRow("no marker") << QStringLiteral("SAT em operação");
    QTest::newRow("information") << QStringLiteral("08000\r\nSAT em operação[i]");
    QTest::newRow("error, lower case") << QStringLiteral("ConsultarSAT não carregada[e]");
    QTest::newRow("error, upper case") << QStringLiteral("Falha[E]");
    QTest::newRow("confirmation") << QStringLiteral("Continuar ?[c]");
    QTest::newRow("yes/no") << QStringLiteral("Bloquear ?[SN]");
    QTest::newRow("yes/no, English") << QStringLiteral("Bloquear ?[yn]");
    QTest::newRow("yes/no/cancel") << QStringLiteral("Gravar ?[SNC]");
    QTest::newRow("yes/no/cancel, English") << QStringLiteral("Gravar ?[YNC]");
    QTest::newRow("yes/no/edit") << QStringLiteral("Alterar ?[SNA]");
    QTest::newRow("yes/no/edit, English") << QStringLiteral("Alterar ?[YNE]");
    QTest::newRow("choice") << QStringLiteral("Escolha[P]");
    QTest::newRow("warning") << QStringLiteral("Atenção[w]");
    QTest::newRow("two markers, first row wins") << QStringLiteral("Texto[e][i]");
    QTest::newRow("brackets that are no marker") << QStringLiteral("Campo [x] inválido");
}

void TestMessageReadings::sameTitleAndText() {
    QFETCH(QString, message);
    const MessageLook look = ResolveMessageMarkers(message);
    const MessageBlock block = MessageAsBlock(QStringToAnsi(message));
    QCOMPARE(QString::fromStdString(block.title), look.title);
    QCOMPARE(AnsiToQString(block.text), look.text);
}

QTEST_MAIN(TestMessageReadings)
#include "tst_message_readings.moc"
