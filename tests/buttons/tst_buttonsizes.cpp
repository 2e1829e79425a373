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

    std::unique_ptr<QDialog> open(const QString& dialog)
    {
        if (dialog == "startup")
            return std::make_unique<VkStartupDlg>(nullptr);
        if (dialog == "project settings")
            return std::make_unique<VkProjectSettingDialog>(nullptr);
        if (dialog == "scene detection")
            return std::make_unique<VkScenceDetectionDlg>(m_video.get(), nullptr);
        if (dialog == "properties")
            return std::make_unique<VkMediaPropertyDialog>(m_video.get(), nullptr);
        if (dialog == "unsupported image")
            return std::make_unique<VkUnsupportedImgFileDialog>(QStringList{"huge.png"}, nullptr);
        return nullptr;
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
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("name"); // object name
        QTest::addColumn<QString>("text"); // where buttons share a name
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("widthAtLeast"); // the width is a minimum: longer captions widen it

        const auto row = [](const char* dialog, const char* name, const char* text, QSize size,
                            bool atLeast) {
            QTest::addRow("%s: %s", dialog, *text ? text : name)
                << QString::fromLatin1(dialog) << QString::fromLatin1(name) << QString::fromLatin1(text)
                << size << atLeast;
        };
        row("startup", "VkStartupDlg_NewProject", "", QSize(160, 90), false);
        row("startup", "VkStartupDlg_OpenProject", "", QSize(160, 90), false);
        row("startup", "VkStartupDlg_ibHelp", "", QSize(24, 24), false);
        row("startup", "VkStartupDlg_ibClose", "", QSize(24, 24), false);
        row("project settings", "Button_Focus_Btn_32", "", QSize(88, 32), false);
        row("project settings", "Button_Normal_Btn_32", "", QSize(88, 32), false);
        row("project settings", "ProjectSettings_unlock_btn", "", QSize(12, 12), false);
        row("scene detection", "VCommonLib_Normal_Btn", "Detect", QSize(98, 32), true);
        row("scene detection", "VCommonLib_Normal_Btn", "Add To Timeline", QSize(135, 32), true);
        row("scene detection", "VkPlayerToolBar_PlayPause", "", QSize(24, 24), false);
        row("properties", "PropertyDialog_Ok", "", QSize(104, 32), false);
        row("unsupported image", "VCommonLib_Normal_Btn", "", QSize(104, 32), false);
    }
    void buttonSizes()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(bool, widthAtLeast);
        const std::unique_ptr<QDialog> window = open(dialog);
        QVERIFY(window);
        QVERIFY(VkSkinStyle::IsThemeApplied());
        // Shown, so that the style sheet has been applied and the layouts have run.
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QAbstractButton* button = nullptr;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>(name)) {
            if (text.isEmpty() || b->text() == text)
                button = b;
        }
        QVERIFY(button);
        QVERIFY(button->isVisible());
        QCOMPARE(button->height(), size.height());
        if (widthAtLeast)
            QVERIFY2(button->width() >= size.width(), qPrintable(QString::number(button->width())));
        else
            QCOMPARE(button->width(), size.width());
    }
};

VK_TEST_MAIN(TestButtonSizes)
#include "tst_buttonsizes.moc"
