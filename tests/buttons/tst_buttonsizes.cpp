#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkStartupDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QAbstractButton>

#include <memory>

// Every dialog's buttons at the sizes the dialogs give them in code, with the product's theme on:
// the style sheet dresses buttons, it never resizes one that has a size of its own.
class TestButtonSizes : public QObject
{
    Q_OBJECT

    std::unique_ptr<IVkAbstractMediaItem> m_video;

    std::unique_ptr<QDialog> open(int dialog)
    {
        switch (dialog) {
        case 0:
            return std::make_unique<VkStartupDlg>(nullptr);
        case 1:
            return std::make_unique<VkProjectSettingDialog>(nullptr);
        case 2:
            return std::make_unique<VkScenceDetectionDlg>(m_video.get(), nullptr);
        case 3:
            return std::make_unique<VkMediaPropertyDialog>(m_video.get(), nullptr);
        default:
            return std::make_unique<VkUnsupportedImgFileDialog>(QStringList{QStringLiteral("huge.png")},
                                                                nullptr);
        }
    }

private slots:
    void initTestCase()
    {
        QString error;
        m_video = VkMediaItemFactory::create(QStringLiteral(VK_TEST_MEDIA_DIR "/numbered.mp4"), &error);
        QVERIFY2(m_video, qPrintable(error));
    }
    void cleanupTestCase() { m_video.reset(); }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void buttonSizes_data()
    {
        QTest::addColumn<int>("dialog");   // startup, project settings, scenes, properties, unsupported
        QTest::addColumn<QString>("name"); // object name
        QTest::addColumn<QString>("text"); // where buttons share a name; its width is then a minimum
        QTest::addColumn<QSize>("size");
        const auto row = [](int dialog, const char* name, const char* text, QSize size) {
            const char* const dialogs[] = {"startup", "project settings", "scenes", "properties",
                                           "unsupported"};
            QTest::addRow("%s: %s", dialogs[dialog], *text ? text : name) << dialog << name << text << size;
        };
        row(0, "VkStartupDlg_NewProject", "", QSize(160, 90));
        row(0, "VkStartupDlg_ibHelp", "", QSize(24, 24));
        row(1, "Button_Focus_Btn_32", "", QSize(88, 32));
        row(1, "Button_Normal_Btn_32", "", QSize(88, 32));
        row(1, "ProjectSettings_unlock_btn", "", QSize(12, 12));
        row(2, "VCommonLib_Normal_Btn", "Detect", QSize(98, 32));
        row(2, "VCommonLib_Normal_Btn", "Add To Timeline", QSize(135, 32));
        row(2, "VkPlayerToolBar_PlayPause", "", QSize(24, 24));
        row(3, "PropertyDialog_Ok", "", QSize(104, 32));
        row(4, "VCommonLib_Normal_Btn", "", QSize(104, 32));
    }
    void buttonSizes()
    {
        QFETCH(int, dialog);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QSize, size);
        const std::unique_ptr<QDialog> window = open(dialog);
        QVERIFY(VkSkinStyle::IsThemeApplied());
        // Shown, so that the style sheet has been applied and the layouts have run.
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QAbstractButton* button = nullptr;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>(name)) {
            if (text.isEmpty() || b->text() == text)
                button = b;
        }
        QVERIFY(button && button->isVisible());
        QCOMPARE(button->height(), size.height());
        if (text.isEmpty())
            QCOMPARE(button->width(), size.width());
        else
            QVERIFY2(button->width() >= size.width(), qPrintable(QString::number(button->width())));
    }
};

VK_TEST_MAIN(TestButtonSizes)
#include "tst_buttonsizes.moc"
