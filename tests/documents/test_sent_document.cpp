// Reading a sale or cancellation document from a file: only a regular file,
// at most the device's 1.500 KB (one byte more is read to tell), its bytes
// as they are; and the message for each refusal.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <utility>

#include "rules/cp1252.h"
#include "rules/sent_document.h"

Q_DECLARE_METATYPE(SentDocumentRead)

class SentDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void messages_data();
    void messages();
    void sendableDocument();
};

// "name": a file made in the test folder, "/…" a path as it is.
void SentDocumentTest::reads_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size");  // bytes written to a regular file
    QTest::addColumn<qint64>("limit"); // 0: the device's
    QTest::addColumn<SentDocumentRead>("outcome");

    const auto device = static_cast<qint64>(kMaxSentDocumentBytes);
    QTest::newRow("small") << "venda.xml" << qint64(6) << qint64(0) << SentDocumentRead::Read;
    QTest::newRow("empty") << "vazio.xml" << qint64(0) << qint64(0) << SentDocumentRead::Read;
    QTest::newRow("exactly the limit")
        << "limite.xml" << device << qint64(0) << SentDocumentRead::Read;
    QTest::newRow("one byte over")
        << "grande.xml" << device + 1 << qint64(0) << SentDocumentRead::TooLarge;
    QTest::newRow("a small limit")
        << "dez.xml" << qint64(11) << qint64(10) << SentDocumentRead::TooLarge;
    QTest::newRow("a link to a file") << "link" << qint64(6) << qint64(0) << SentDocumentRead::Read;
    QTest::newRow("missing") << "ausente.xml" << qint64(-1) << qint64(0)
                             << SentDocumentRead::Unreadable;
    QTest::newRow("folder") << "pasta" << qint64(-1) << qint64(0) << SentDocumentRead::NotAFile;
    QTest::newRow("FIFO without a writer")
        << "fifo" << qint64(-1) << qint64(0) << SentDocumentRead::NotAFile;
    QTest::newRow("endless device")
        << "/dev/zero" << qint64(-1) << qint64(0) << SentDocumentRead::NotAFile;
}

void SentDocumentTest::reads() {
    QFETCH(QString, name);
    QFETCH(qint64, size);
    QFETCH(qint64, limit);
    QFETCH(SentDocumentRead, outcome);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("pasta")));
    QVERIFY(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("fifo"))).constData(),
                     0600) == 0);
    QByteArray bytes;
    for (qint64 i = 0; i < size; ++i) {
        bytes.append(static_cast<char>('a' + i % 26));
    }
    if (size >= 0) {
        const QString file =
            folder.filePath(name == QStringLiteral("link") ? QStringLiteral("alvo.xml") : name);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        if (name == QStringLiteral("link")) {
            QVERIFY(QFile::link(file, folder.filePath(name)));
        }
    }
    const QString path = name.startsWith(QLatin1Char('/')) ? name : folder.filePath(name);
    const SentDocumentFile read = limit == 0
                                      ? ReadSentDocumentFile(QFile::encodeName(path).toStdString())
                                      : ReadSentDocumentFile(QFile::encodeName(path).toStdString(),
                                                             static_cast<std::size_t>(limit));
    QCOMPARE(read.outcome, outcome);
    QCOMPARE(QByteArray::fromStdString(read.bytes),
             outcome == SentDocumentRead::Read ? bytes : QByteArray());
}

void SentDocumentTest::messages_data() {
    QTest::addColumn<SentDocumentRead>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("read") << SentDocumentRead::Read << QString();
    QTest::newRow("unreadable") << SentDocumentRead::Unreadable
                                << QStringLiteral("Não foi possível ler o arquivo /v/x.xml[e]");
    QTest::newRow("not a file")
        << SentDocumentRead::NotAFile
        << QStringLiteral("O caminho /v/x.xml não é um arquivo comum (é uma pasta, um dispositivo "
                          "ou uma fila) e não foi lido.[e]");
    QTest::newRow("too large")
        << SentDocumentRead::TooLarge
        << QStringLiteral("O arquivo /v/x.xml passa de 1.500 KB, o maior documento que o "
                          "equipamento SAT aceita, e não foi enviado.[e]");
}

void SentDocumentTest::messages() {
    QFETCH(SentDocumentRead, outcome);
    QFETCH(QString, message);
    QCOMPARE(QString::fromStdString(Cp1252ToUtf8(SentDocumentReadMessage(outcome, "/v/x.xml"))),
             message);
}

// The whole path: read, then the NUL check; one message for a refusal.
void SentDocumentTest::sendableDocument() {
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("venda.xml"));
    const QString nul = folder.filePath(QStringLiteral("nulo.xml"));
    for (const auto& [path, bytes] :
         {std::pair{good, QByteArray("<CFe/>\r\n")}, {nul, QByteArray("<CFe>\0</CFe>", 12)}}) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QStringList shown;
    const ShowMessage show = [&](const std::string& text) {
        shown.append(QString::fromStdString(Cp1252ToUtf8(text)));
        return 1;
    };
    const auto sent = ReadSendableDocument(QFile::encodeName(good).toStdString(), "venda", show);
    QVERIFY(sent.has_value());
    QCOMPARE(*sent, std::string("<CFe/>\r\n"));
    QVERIFY(shown.isEmpty());
    QVERIFY(!ReadSendableDocument(QFile::encodeName(nul).toStdString(), "nulo", show));
    QVERIFY(!ReadSendableDocument("/dev/zero", "zero", show));
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown[0].startsWith(QStringLiteral("O arquivo nulo contém um caractere nulo")));
    QVERIFY(shown[1].startsWith(QStringLiteral("O caminho zero não é um arquivo comum")));
}

QTEST_APPLESS_MAIN(SentDocumentTest)
#include "test_sent_document.moc"
