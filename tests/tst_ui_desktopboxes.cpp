// The real Desktop's boxes on the offscreen platform: each is answered by the
// test as soon as it shows, so nothing waits for a person.

#include "platform/desktop/Desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestDesktopBoxes : public QObject {
    Q_OBJECT

    // Presses button on the next modal box and records how it showed its text.
    void AnswerNextBox(QMessageBox::StandardButton button, Qt::TextFormat* format, QString* text)
    {
        QTimer::singleShot(0, this, [=] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            *format = box->textFormat();
            *text = box->text();
            box->button(button)->click();
        });
    }

private slots:
    // A file name or a server text that looks like markup is shown as it
    // stands: rendered, it could hide the rest of the text or load an image.
    void textsAreShownAsTheyStand_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("tags") << QStringLiteral("File does not exist: /data/<b>x</b><img src=\"/tmp/y.png\">");
        QTest::newRow("a lone tag") << QStringLiteral("<br>");
    }

    void textsAreShownAsTheyStand()
    {
        QFETCH(QString, text);
        platform::Desktop& desktop = platform::CurrentDesktop();

        Qt::TextFormat format = Qt::RichText;
        QString shown;
        AnswerNextBox(QMessageBox::Ok, &format, &shown);
        desktop.ShowMessage(nullptr, platform::BoxKind::Error, QStringLiteral("Twinlens"), text);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, text);

        format = Qt::RichText;
        AnswerNextBox(QMessageBox::Yes, &format, &shown);
        QVERIFY(desktop.Confirm(nullptr, QStringLiteral("Twinlens"), text));
        QCOMPARE(format, Qt::PlainText);

        AnswerNextBox(QMessageBox::No, &format, &shown);
        QVERIFY(!desktop.Confirm(nullptr, QStringLiteral("Twinlens"), text));
    }
};

QTEST_MAIN(TestDesktopBoxes)
#include "tst_ui_desktopboxes.moc"
