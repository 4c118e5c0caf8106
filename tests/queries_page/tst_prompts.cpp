// The open-file dialog and the input box the queries page asks through: the
// filter in Qt's form, the real windows driven as a person would, and the
// one-shot answers the page tests rely on.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include "tests/dialogs/modal_driver.h"
#include "ui/input_box.h"
#include "ui/open_dialog.h"

class PromptsTest : public QObject {
    Q_OBJECT

private slots:
    void qtNameFilters_data();
    void qtNameFilters();
    void openDialogShown_data();
    void openDialogShown();
    void openDialogAnswerIsOneShot();
    void fileListInPortuguese();
    void inputBoxShown_data();
    void inputBoxShown();
    void inputBoxAnswerIsOneShot();
};

void PromptsTest::qtNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qtFilters");

    QTest::newRow("the documents' filter")
        << QStringLiteral("*.(xml)|*.xml") << QStringLiteral("*.(xml) (*.xml)");
    QTest::newRow("several masks")
        << QStringLiteral("XML|*.xml;*.XML") << QStringLiteral("XML (*.xml *.XML)");
    QTest::newRow("two pairs") << QStringLiteral("XML|*.xml|Texto|*.txt")
                               << QStringLiteral("XML (*.xml);;Texto (*.txt)");
    QTest::newRow("description without pattern")
        << QStringLiteral("Todos") << QStringLiteral("Todos");
    QTest::newRow("description that shows its pattern")
        << QStringLiteral("Arquivos de texto (*.txt)|*.txt|Todos os arquivos (*)|*")
        << QStringLiteral("Arquivos de texto (*.txt);;Todos os arquivos (*)");
    QTest::newRow("empty") << QString() << QString();
}

void PromptsTest::qtNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, qtFilters);
    QCOMPARE(TOpenDialog::QtNameFilters(filter), qtFilters);
}

void PromptsTest::openDialogShown_data() {
    QTest::addColumn<bool>("choose");
    QTest::newRow("file chosen") << true;
    QTest::newRow("cancelled") << false;
}

void PromptsTest::openDialogShown() {
    QFETCH(bool, choose);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("venda.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QWidget owner;
    owner.show();
    TOpenDialog dialog(&owner);
    dialog.Filter = QStringLiteral("*.(xml)|*.xml");
    bool driven = false;
    // QFileDialog hides done() and accept(); they are reached through QDialog.
    DriveNextModal<QDialog>([&](QDialog* window) {
        driven = true;
        auto* shown = qobject_cast<QFileDialog*>(window);
        QVERIFY(shown != nullptr);
        QCOMPARE(shown->windowTitle(), QStringLiteral("Abrir"));
        QCOMPARE(shown->nameFilters(), QStringList{QStringLiteral("*.(xml) (*.xml)")});
        QCOMPARE(shown->labelText(QFileDialog::Reject), QStringLiteral("Cancelar"));
        if (choose) {
            // Typed into the file name field and confirmed, as a person would.
            auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        } else {
            window->reject();
        }
    });
    QCOMPARE(dialog.Execute(), choose);
    QVERIFY(driven);
    QCOMPARE(dialog.FileName, choose ? path : QString());
}

// The kinds, sizes and dates that Qt's translation and the system's locale
// would leave in English or in another language's form.
void PromptsTest::fileListInPortuguese() {
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("pasta")));
    QFile document(folder.filePath(QStringLiteral("venda.xml")));
    QVERIFY(document.open(QIODevice::WriteOnly));
    document.write(QByteArray(1536, 'x'));
    document.close();
    const QDateTime changed(QDate(2024, 1, 31), QTime(23, 59));
    QVERIFY(document.open(QIODevice::ReadWrite));
    QVERIFY(document.setFileTime(changed, QFileDevice::FileModificationTime));
    document.close();

    QFileSystemModel files;
    TFileListInPortuguese shown;
    shown.setSourceModel(&files);
    const QModelIndex root = files.setRootPath(folder.path());
    QTRY_COMPARE(files.rowCount(root), 2);
    const auto cell = [&](const QString& name, int column) {
        const QModelIndex source = files.index(folder.filePath(name), column);
        return shown.data(shown.mapFromSource(source)).toString();
    };
    QCOMPARE(cell(QStringLiteral("pasta"), TFileListInPortuguese::kKindColumn),
             QStringLiteral("Pasta"));
    QCOMPARE(cell(QStringLiteral("pasta"), TFileListInPortuguese::kSizeColumn), QString());
    QCOMPARE(cell(QStringLiteral("venda.xml"), TFileListInPortuguese::kKindColumn),
             QStringLiteral("Arquivo XML"));
    QCOMPARE(cell(QStringLiteral("venda.xml"), TFileListInPortuguese::kSizeColumn),
             QStringLiteral("1,50 kB"));
    QCOMPARE(cell(QStringLiteral("venda.xml"), TFileListInPortuguese::kDateColumn),
             QStringLiteral("31/01/2024 23:59"));
    // The name column is Qt's own.
    QCOMPARE(cell(QStringLiteral("venda.xml"), 0), QStringLiteral("venda.xml"));
}

void PromptsTest::openDialogAnswerIsOneShot() {
    QWidget owner;
    owner.show();
    TOpenDialog dialog(&owner);
    SetNextOpenDialogFile(QStringLiteral("/sem/arquivo.xml"));
    QVERIFY(dialog.Execute());
    QCOMPARE(dialog.FileName, QStringLiteral("/sem/arquivo.xml"));

    // The next call shows the dialog again.
    bool shown = false;
    DriveNextModal<QDialog>([&](QDialog* window) {
        shown = qobject_cast<QFileDialog*>(window) != nullptr;
        window->reject();
    });
    QVERIFY(!dialog.Execute());
    QVERIFY(shown);
}

void PromptsTest::inputBoxShown_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("typed");

    QTest::newRow("confirmed, blanks kept") << true << QStringLiteral("  CFe3512  ");
    QTest::newRow("confirmed empty") << true << QString();
    QTest::newRow("cancelled") << false << QStringLiteral("CFe3512");
}

void PromptsTest::inputBoxShown() {
    QFETCH(bool, confirm);
    QFETCH(QString, typed);

    QWidget owner;
    owner.show();
    bool driven = false;
    DriveNextModal<QInputDialog>([&](QInputDialog* box) {
        driven = true;
        QCOMPARE(box->windowTitle(), QStringLiteral("Cancelamento da Ultima Venda"));
        QCOMPARE(box->labelText(), QStringLiteral("Digite a Chave de acesso do CF-e-SAT:"));
        QCOMPARE(box->cancelButtonText(), QStringLiteral("Cancelar"));
        auto* edit = box->findChild<QLineEdit*>();
        QVERIFY(edit != nullptr);
        QVERIFY(edit->text().isEmpty());
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, confirm ? Qt::Key_Return : Qt::Key_Escape);
    });
    const std::optional<QString> answer =
        InputBox(&owner, QStringLiteral("Cancelamento da Ultima Venda"),
                 QStringLiteral("Digite a Chave de acesso do CF-e-SAT:"), QString());
    QVERIFY(driven);
    QCOMPARE(answer.has_value(), confirm);
    if (confirm) {
        QCOMPARE(*answer, typed);
    }
}

void PromptsTest::inputBoxAnswerIsOneShot() {
    QWidget owner;
    owner.show();
    SetNextInputBoxCancel();
    QVERIFY(!InputBox(&owner, QStringLiteral("t"), QStringLiteral("p"), QString()).has_value());
    QCOMPARE(LastInputBoxRequest().prompt, QStringLiteral("p"));

    bool shown = false;
    DriveNextModal<QInputDialog>([&](QInputDialog* box) {
        shown = true;
        box->setTextValue(QStringLiteral("x"));
        box->accept();
    });
    QCOMPARE(InputBox(&owner, QStringLiteral("t"), QStringLiteral("p"), QString()),
             std::optional<QString>(QStringLiteral("x")));
    QVERIFY(shown);
}

QTEST_MAIN(PromptsTest)
#include "tst_prompts.moc"
