#include "VkDemoWindow.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingAcceptEvent.h>
#include <projectsetting/VkProjectSettingClickEvent.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <projectsetting/VkProjectSettingPresenter.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkwidgets/VMessageDialog.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkFileDialog.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkPushButtonBar.h>

#include <QActionGroup>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QLocale>
#include <QMenu>

#include <map>

namespace {

constexpr QSize kWindowSize{720, 640};
constexpr int kButtonHeight = 32;
constexpr int kScenesHeight = 132;
// The media chooser's rows carry the file path.
constexpr int kPathRole = Qt::UserRole;

QString languageName(VkLocale::VkLanguageType language)
{
    // Each language is offered in its own words, so that it can be found whatever is shown now.
    const QString name = QLocale(VkLocale::languageCode(language)).nativeLanguageName();
    return name.isEmpty() ? name : name.at(0).toUpper() + name.mid(1);
}

} // namespace

class VkDemoWindow::Private
{
public:
    QList<VkLabel*> captions;
    VkLabel* projectValue = nullptr;
    VkLabel* ratioValue = nullptr;
    VkLabel* resolutionValue = nullptr;
    VkLabel* frameRateValue = nullptr;
    VkLabel* colorSpaceValue = nullptr;
    VkComboBox* mediaCombo = nullptr;
    VkPushButton* browseButton = nullptr;
    VkLabel* itemNameValue = nullptr;
    QListWidget* scenesList = nullptr;
    QList<QPoint> sceneRanges;
    VkPushButton* languageButton = nullptr;
    QMenu* languageMenu = nullptr;
    QActionGroup* languageGroup = nullptr;
    VkPushButton* unsupportedButton = nullptr;
    VkPushButton* propertiesButton = nullptr;
    VkPushButton* sceneButton = nullptr;
    VkPushButton* projectSettingsButton = nullptr;
    std::map<QString, std::unique_ptr<IVkAbstractMediaItem>> items;
};

VkDemoWindow::VkDemoWindow(QWidget* parent)
    : VkFramelessDialog(parent, false, true)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VkDemoWindow"));
    auto* body = new QWidget(this);
    auto* form = new QFormLayout(body);
    form->setContentsMargins(32, 24, 32, 16);
    form->setHorizontalSpacing(16);
    form->setVerticalSpacing(12);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    const auto caption = [&]() {
        auto* label = VkLabel::CreateLabel(body, QString());
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        d->captions << label;
        return label;
    };
    const auto addValueRow = [&](VkLabel*& value, const char* name) {
        value = VkLabel::CreateLabel(body, QString());
        value->setObjectName(QLatin1String(name));
        // Paths and names come from files and users: never read as markup.
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption(), value);
    };
    addValueRow(d->projectValue, "VkDemoWindow_Project");
    addValueRow(d->ratioValue, "VkDemoWindow_AspectRatio");
    addValueRow(d->resolutionValue, "VkDemoWindow_Resolution");
    addValueRow(d->frameRateValue, "VkDemoWindow_FrameRate");
    addValueRow(d->colorSpaceValue, "VkDemoWindow_ColorSpace");

    auto* mediaRow = new QHBoxLayout;
    mediaRow->setSpacing(8);
    d->mediaCombo = VkComboBox::CreateComboBox(body);
    d->mediaCombo->setObjectName(QStringLiteral("VkDemoWindow_Media"));
    d->mediaCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    d->browseButton = VkPushButton::CreateSecondaryButton(body, kButtonHeight);
    d->browseButton->setObjectName(QStringLiteral("VkDemoWindow_Browse"));
    mediaRow->addWidget(d->mediaCombo, 1);
    mediaRow->addWidget(d->browseButton);
    form->addRow(caption(), mediaRow);
    addValueRow(d->itemNameValue, "VkDemoWindow_ItemName");

    d->scenesList = new QListWidget(body);
    d->scenesList->setObjectName(QStringLiteral("VkDemoWindow_Scenes"));
    d->scenesList->setFixedHeight(kScenesHeight);
    d->scenesList->setSelectionMode(QAbstractItemView::NoSelection);
    form->addRow(caption(), d->scenesList);

    // The dialogs get a grid of their own: their names are long, in German even more so.
    auto* dialogs = new QGridLayout;
    dialogs->setSpacing(12);
    const auto addButton = [&](VkPushButton*& button, const char* name, int row, int column) {
        button = VkPushButton::CreateSecondaryButton(body, kButtonHeight);
        button->setObjectName(QLatin1String(name));
        dialogs->addWidget(button, row, column);
    };
    addButton(d->projectSettingsButton, "VkDemoWindow_ProjectSettings", 0, 0);
    addButton(d->sceneButton, "VkDemoWindow_SceneDetection", 0, 1);
    addButton(d->propertiesButton, "VkDemoWindow_Properties", 1, 0);
    addButton(d->unsupportedButton, "VkDemoWindow_UnsupportedImage", 1, 1);
    form->addRow(QString(), dialogs);
    SetContentWidget(body);

    d->languageButton = VkPushButton::CreateSecondaryButton(this, kButtonHeight);
    d->languageButton->setObjectName(QStringLiteral("VkDemoWindow_Language"));
    ButtonBar()->AddButton(VkButtonBar::Position_Left, d->languageButton, -1);

    d->languageMenu = new QMenu(this);
    d->languageMenu->setObjectName(QStringLiteral("VkDemoWindow_LanguageMenu"));
    d->languageGroup = new QActionGroup(this);
    for (VkLocale::VkLanguageType language : availableLanguages()) {
        QAction* action = d->languageMenu->addAction(languageName(language));
        action->setCheckable(true);
        action->setData(int(language));
        action->setChecked(language == VkSingleton<VkLocale>::instance()->languageType());
        d->languageGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] { switchLanguage(language); });
    }
    d->languageButton->setMenu(d->languageMenu);

    connect(d->browseButton, &QPushButton::clicked, this, &VkDemoWindow::browseMediaFile);
    connect(d->mediaCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        showSceneRanges({});
        refresh();
    });
    connect(d->projectSettingsButton, &QPushButton::clicked, this, &VkDemoWindow::openProjectSettings);
    connect(d->sceneButton, &QPushButton::clicked, this, &VkDemoWindow::openSceneDetection);
    connect(d->propertiesButton, &QPushButton::clicked, this, &VkDemoWindow::openProperties);
    connect(d->unsupportedButton, &QPushButton::clicked, this, &VkDemoWindow::openUnsupportedImage);

    resize(kWindowSize.width(), kWindowSize.height());
    RetranslateUi();
    refresh();
}

VkDemoWindow::~VkDemoWindow() = default;

QList<VkLocale::VkLanguageType> VkDemoWindow::availableLanguages()
{
    QList<VkLocale::VkLanguageType> languages{VkLocale::LanguageEnglish};
    for (int value = VkLocale::LanguageChineseSimplified; value <= VkLocale::LanguageChineseTraditional;
         ++value) {
        const auto language = static_cast<VkLocale::VkLanguageType>(value);
        if (QFile::exists(
                QStringLiteral(":/translations/vkpopupdialog_%1.qm").arg(VkLocale::languageCode(language))))
            languages << language;
    }
    return languages;
}

void VkDemoWindow::RetranslateUi()
{
    SetTitleName(tr("VkPopupDialog Demo"), false);
    const QStringList captions{tr("Project:"),     tr("Aspect Ratio:"), tr("Resolution:"), tr("Frame Rate:"),
                               tr("Color Space:"), tr("Media File:"),   tr("Item Name:"),  tr("Scenes:")};
    for (int i = 0; i < d->captions.size(); ++i)
        d->captions.at(i)->setText(captions.value(i));
    d->browseButton->setText(tr("Browse..."));
    d->languageButton->setText(tr("Language"));
    d->unsupportedButton->setText(tr("Unsupported Image..."));
    d->propertiesButton->setText(tr("Properties..."));
    d->sceneButton->setText(tr("Scene Detection..."));
    d->projectSettingsButton->setText(tr("Project Settings..."));
    for (QAction* action : d->languageGroup->actions())
        action->setChecked(action->data().toInt() == int(VkSingleton<VkLocale>::instance()->languageType()));
    // The texts made from data carry translated words too.
    refresh();
    showSceneRanges(d->sceneRanges);
}

void VkDemoWindow::refresh()
{
    IVkProject* project = IVkProjectManager::getInstance()->currentProject();
    const QString path = project->filePath();
    d->projectValue->setText(path.isEmpty() ? tr("New project (not saved)") : path);

    // The presenter is the library's own reading of the project, so the demo shows what the
    // project settings dialog will start from.
    VkProjectSettingPresenter presenter;
    const int ratio = presenter.GetRatio();
    d->ratioValue->setText(ratio == 0 ? QObject::tr("Custom")
                                      : VkProjectSettingPresenter::getRatioStr(ratio));
    const QSize size = presenter.GetResolution();
    d->resolutionValue->setText(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
    d->frameRateValue->setText(
        presenter.getFramerateStr(static_cast<VKVBLMODEL::VkProjectFrameRateType>(presenter.GetFramerate())));
    d->colorSpaceValue->setText(presenter.getColorSpaceStr(
        static_cast<VKVBLMODEL::VkProjectColorSpaceType>(presenter.GetColorSpace())));

    const QString file = currentMediaFile();
    QString error;
    IVkAbstractMediaItem* item = file.isEmpty() ? nullptr : mediaItem(file, &error);
    if (file.isEmpty())
        d->itemNameValue->setText(tr("No media file chosen"));
    else
        d->itemNameValue->setText(item ? item->GetName() : error);
}

void VkDemoWindow::setMediaFiles(const QStringList& paths)
{
    d->mediaCombo->clear();
    for (const QString& path : paths)
        d->mediaCombo->addItem(QFileInfo(path).fileName(), path);
    refresh();
}

void VkDemoWindow::chooseMediaFile(const QString& path)
{
    int row = d->mediaCombo->findData(path, kPathRole);
    if (row < 0) {
        d->mediaCombo->addItem(QFileInfo(path).fileName(), path);
        row = d->mediaCombo->count() - 1;
    }
    d->mediaCombo->setCurrentIndex(row);
    refresh();
}

QString VkDemoWindow::currentMediaFile() const
{
    return d->mediaCombo->currentData(kPathRole).toString();
}

QStringList VkDemoWindow::imageFiles() const
{
    QStringList images;
    for (int row = 0; row < d->mediaCombo->count(); ++row) {
        const QString path = d->mediaCombo->itemData(row, kPathRole).toString();
        const auto found = d->items.find(path);
        const IVkMediaInfo* info = found == d->items.end() ? nullptr : found->second->GetMediaInfo();
        // Files not opened yet are judged by their suffix, which is all the dialog shows anyway.
        const bool image =
            info ? (info->GetStreamFlags() & IVkMediaInfo::StreamFlag_Image) != 0
                 : QStringList{QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg")}.contains(
                       QFileInfo(path).suffix().toLower());
        if (image)
            images << path;
    }
    return images;
}

IVkAbstractMediaItem* VkDemoWindow::mediaItem(const QString& path, QString* error)
{
    auto found = d->items.find(path);
    if (found != d->items.end())
        return found->second.get();
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, error);
    if (!item)
        return nullptr;
    return d->items.emplace(path, std::move(item)).first->second.get();
}

void VkDemoWindow::browseMediaFile()
{
    const QString path = VkFileDialog::getOpenFileName(
        this, tr("Choose a Media File"), QFileInfo(currentMediaFile()).absolutePath(),
        tr("Media files (*.mp4 *.mov *.mkv *.avi *.webm *.ts *.mp3 *.wav *.flac *.m4a *.png *.jpg *.jpeg "
           "*.bmp *.gif *.webp);;All files (*)"),
        nullptr);
    if (!path.isEmpty())
        chooseMediaFile(path);
}

void VkDemoWindow::openProjectSettings()
{
    VkProjectSettingClickEvent(QStringLiteral("demo_button")).sendEvent();
    VkProjectSettingDialog dialog(this);
    if (dialog.DoModal() == 1)
        VkProjectSettingAcceptEvent().sendEvent();
    refresh();
}

void VkDemoWindow::openSceneDetection()
{
    const QString file = currentMediaFile();
    QString error;
    IVkAbstractMediaItem* item = file.isEmpty() ? nullptr : mediaItem(file, &error);
    if (!item) {
        showMessage(file.isEmpty() ? tr("Choose a video clip first.") : error);
        return;
    }
    const IVkMediaInfo* info = item->GetMediaInfo();
    if (!info || !(info->GetStreamFlags() & IVkMediaInfo::StreamFlag_Video) || info->HasNoDuration()) {
        showMessage(
            tr("Scene detection needs a video clip; %1 has no moving pictures.").arg(item->GetName()));
        return;
    }
    VkScenceDetectionDlg dialog(item, this);
    dialog.startDetect();
    if (dialog.DoModal() == 1)
        showSceneRanges(dialog.GetDetectRange());
}

void VkDemoWindow::openProperties()
{
    const QString file = currentMediaFile();
    QString error;
    IVkAbstractMediaItem* item = file.isEmpty() ? nullptr : mediaItem(file, &error);
    if (!item) {
        showMessage(file.isEmpty() ? tr("Choose a media file first.") : error);
        return;
    }
    VkMediaPropertyDialog dialog(item, this);
    // The dialog only reports the new name; renaming the item is the host's part.
    connect(&dialog, &VkMediaPropertyDialog::sigNameChanged, this,
            [item](const QString& name) { item->SetName(name); });
    dialog.DoModal();
    refresh();
}

void VkDemoWindow::openUnsupportedImage()
{
    VkUnsupportedImgFileDialog dialog(imageFiles(), this);
    dialog.DoModal();
}

void VkDemoWindow::showSceneRanges(const QList<QPoint>& ranges)
{
    d->sceneRanges = ranges;
    d->scenesList->clear();
    if (ranges.isEmpty()) {
        d->scenesList->addItem(tr("None read back yet: run scene detection and choose \"Add To Timeline\"."));
        return;
    }
    for (int i = 0; i < ranges.size(); ++i) {
        // The dialog hands out the first frame after each scene; people count the last one in it.
        d->scenesList->addItem(tr("Scene %1: frames %2 to %3 (%4 frames)")
                                   .arg(i + 1)
                                   .arg(ranges.at(i).x())
                                   .arg(ranges.at(i).y() - 1)
                                   .arg(ranges.at(i).y() - ranges.at(i).x()));
    }
}

QList<QPoint> VkDemoWindow::sceneRanges() const
{
    return d->sceneRanges;
}

bool VkDemoWindow::switchLanguage(VkLocale::VkLanguageType language)
{
    VkLocale* locale = VkSingleton<VkLocale>::instance();
    if (!locale->setLanguage(language)) {
        // The menu already checked the new entry; it goes back to the language still in use.
        for (QAction* action : d->languageGroup->actions())
            action->setChecked(action->data().toInt() == int(locale->languageType()));
        showMessage(tr("The language cannot be switched: %1").arg(locale->lastError()));
        return false;
    }
    return true;
}

void VkDemoWindow::showMessage(const QString& text)
{
    VMessageDialog::Infomation(text, this, VMessageDialog::Ok, QString(), QString(), QString(), false);
}
