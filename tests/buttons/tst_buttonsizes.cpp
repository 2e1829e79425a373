#include "SceneDetectFakes.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkStartupDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QAbstractButton>

#include <memory>

using namespace VkTestLiterals;

// Every dialog's buttons at the sizes the dialogs give them in code, with the product's theme on:
// the style sheet dresses buttons, it never resizes one that has a size of its own.
class TestButtonSizes : public QObject
{
    Q_OBJECT

    FakeVideoItem m_video;

    std::unique_ptr<QDialog> open(const QString& dialog)
    {
        if (dialog == QLatin1String("startup"))
            return std::make_unique<VkStartupDlg>(nullptr);
        if (dialog == QLatin1String("project settings"))
            return std::make_unique<VkProjectSettingDialog>(nullptr);
        if (dialog == QLatin1String("scenes"))
            return std::make_unique<VkScenceDetectionDlg>(&m_video, nullptr);
        if (dialog == QLatin1String("properties"))
            return std::make_unique<VkMediaPropertyDialog>(&m_video, nullptr);
        return std::make_unique<VkUnsupportedImgFileDialog>(QStringList{"huge.png"_s}, nullptr);
    }

private slots:
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void buttonSizes_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("name"); // object name
        QTest::addColumn<QString>("text"); // where buttons share a name; its width is then a minimum
        QTest::addColumn<QSize>("size");
        const auto row = [](const char* dialog, const char* name, const char* text, QSize size) {
            QTest::addRow("%s: %s", dialog, *text ? text : name) << dialog << name << text << size;
        };
        row("startup", "VkStartupDlg_NewProject", "", QSize(160, 90));
        row("startup", "VkStartupDlg_ibHelp", "", QSize(24, 24));
        row("project settings", "Button_Focus_Btn_32", "", QSize(88, 32));
        row("project settings", "Button_Normal_Btn_32", "", QSize(88, 32));
        row("project settings", "ProjectSettings_unlock_btn", "", QSize(12, 12));
        row("scenes", "VCommonLib_Normal_Btn", "Detect", QSize(98, 32));
        row("scenes", "VCommonLib_Normal_Btn", "Add To Timeline", QSize(135, 32));
        row("scenes", "VkPlayerToolBar_PlayPause", "", QSize(24, 24));
        row("properties", "PropertyDialog_Ok", "", QSize(104, 32));
        row("unsupported", "VCommonLib_Normal_Btn", "", QSize(104, 32));
    }
    void buttonSizes()
    {
        QFETCH(QString, dialog);
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
