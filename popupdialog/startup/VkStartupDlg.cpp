#include "VkStartupDlg.h"

#include "VkProjectLibrary.h"
#include "VkStartupListItem.h"
#include "VkStartupListKeys_p.h"

#include <vkcore/VkConfig.h>
#include <vkcore/VkDesktopService.h>
#include <vkvblmodel/VkProjectThumbnailLoader.h>
#include <vkwidgets/VkCheckBox.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineEdit.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkSwitchToolButton.h>
#include <vkwidgets/VkToolButton.h>

#include <QEvent>
#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>

namespace {

constexpr QSize kWindowSize{800, 452};
constexpr QSize kRowSize{330, 80};
constexpr int kMaxRecentProjects = 15;
constexpr int kTitleAreaHeight = 32;

} // namespace

struct VkStartupDlg::Private
{
    VkProjectLibrary* library = nullptr;
    VkToolButton* ibBuy = nullptr;
    VkToolButton* ibHelp = nullptr;
    VkToolButton* ibClose = nullptr;
    VkToolButton* linkButton = nullptr;
    VkToolButton* feedbackButton = nullptr;
    VkLabel* topLeftLabel = nullptr;
    VkLabel* bottomLeftLabel = nullptr;
    VkLabel* splitterLeft = nullptr;
    VkLabel* splitterRight = nullptr;
    QPushButton* newProjectButton = nullptr;
    VkLabel* newProjectLabel = nullptr;
    QPushButton* openProjectButton = nullptr;
    VkLabel* openProjectLabel = nullptr;
    VkLabel* projectLibraryLabel = nullptr;
    VkLineEdit* findEdit = nullptr;
    VkSwitchToolButton* findButton = nullptr;
    VkLabel* emptyIconLabel = nullptr;
    VkLabel* emptyTextLabel = nullptr;
    VkLabel* aspectRatioLabel = nullptr;
    VkComboBox* aspectRatioCombo = nullptr;
    QListWidget* projectList = nullptr;
    VkCheckBox* showCheckBox = nullptr;
    bool useSearch = false;
};

VkStartupDlg::VkStartupDlg(QWidget* parent)
    : VkShadowDialog(parent)
    , d(new Private)
{
    d->library = new VkProjectLibrary();
    initUI();
    initConnects();
    doTranslateText();
}

VkStartupDlg::~VkStartupDlg()
{
    delete d->library;
    delete d;
}

void VkStartupDlg::initUI()
{
    setWindowIcon(QIcon(QStringLiteral(":/Tessel/Resources/light/Tessel9.ico")));
    setFixedSize(kWindowSize);

    d->ibBuy = VkToolButton::CreateToolButton(m_titleArea, QStringLiteral("VkStartupDlg_ibBuy"));
    d->ibHelp = VkToolButton::CreateToolButton(m_titleArea, QStringLiteral("VkStartupDlg_ibHelp"));
    d->ibClose = VkToolButton::CreateToolButton(m_titleArea, QStringLiteral("VkStartupDlg_ibClose"));
    d->linkButton = VkToolButton::CreateToolButton(m_titleArea, QStringLiteral("VkStartupDlg_LinkButton"));
    d->linkButton->hide();
    d->feedbackButton = VkToolButton::CreateToolButton(m_titleArea, QStringLiteral("VkStartupDlg_Feedback"));

    d->topLeftLabel = new VkLabel(this, QString());
    d->bottomLeftLabel = new VkLabel(this, QString());
    d->aspectRatioLabel = new VkLabel(this, QString());
    d->aspectRatioLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    d->aspectRatioCombo = VkComboBox::CreateComboBox(this);
    fillAspectRatios();

    d->splitterLeft = new VkLabel(this, QString());
    d->splitterLeft->setObjectName(QStringLiteral("VkStartupDlg_SplitterL"));
    d->splitterRight = new VkLabel(this, QString());
    d->splitterRight->setObjectName(QStringLiteral("VkStartupDlg_SplitterR"));

    d->newProjectButton = new QPushButton(this);
    d->newProjectButton->setObjectName(QStringLiteral("VkStartupDlg_NewProject"));
    // Neither large button is the window's default: Enter typed into the search box or given to
    // the list must not start a new project.
    d->newProjectButton->setAutoDefault(false);
    // Like every other button here, a Tab stop that a click does not focus: the accent ring then
    // only ever shows where the keyboard is.
    d->newProjectButton->setFocusPolicy(Qt::TabFocus);
    d->newProjectLabel = new VkLabel(this, QStringLiteral("VkStartupDlg_lbNewProject"));
    d->newProjectLabel->setAlignment(Qt::AlignCenter);
    d->openProjectButton = new QPushButton(this);
    d->openProjectButton->setObjectName(QStringLiteral("VkStartupDlg_OpenProject"));
    d->openProjectButton->setAutoDefault(false);
    d->openProjectButton->setFocusPolicy(Qt::TabFocus);
    d->openProjectLabel = new VkLabel(this, QStringLiteral("VkStartupDlg_lbOpenProject"));
    d->openProjectLabel->setAlignment(Qt::AlignCenter);

    d->projectLibraryLabel = new VkLabel(this, QStringLiteral("VkStartupDlg_lbProjectLibrary"));
    d->findEdit = VkLineEdit::CreateLineEdit(this);
    d->findEdit->setObjectName(QStringLiteral("VkStartupDlg_FindProject"));
    d->findButton =
        VkSwitchToolButton::CreateSwitchButton(this, true, QStringLiteral("VkStartupDlg_FindProject_Search"));
    // A picture in the search box that does nothing when pressed: no stop for the Tab key.
    d->findButton->setFocusPolicy(Qt::NoFocus);

    d->projectList = new QListWidget(this);
    d->projectList->setObjectName(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    d->projectList->verticalScrollBar()->setObjectName(QStringLiteral("VkStartupDlg_verticalScrollBar"));
    // Rows are 330 wide in a 344-wide list: never a horizontal scroll bar. Several rows may be
    // selected, so the Delete key can take out more than one at once.
    d->projectList->setFrameShape(QFrame::NoFrame);
    d->projectList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->projectList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->projectList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    d->projectList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    d->emptyIconLabel = new VkLabel(this, QStringLiteral("VkStartupDlg_ProjectEmptyIcon"));
    d->emptyIconLabel->hide();
    d->emptyTextLabel = new VkLabel(this, QStringLiteral("VkStartupDlg_ProjectEmptyText"));
    d->emptyTextLabel->hide();
    d->emptyTextLabel->setAlignment(Qt::AlignCenter);

    d->showCheckBox = VkCheckBox::CreateCheckBox(this);
    d->showCheckBox->setChecked(true);
    d->showCheckBox->setObjectName(QStringLiteral("VkStartupDlg_ShowProjectLibrary"));

    InitProjectLibarayList();
    d->ibBuy->hide();

    d->aspectRatioLabel->setBuddy(d->aspectRatioCombo);
    // The title buttons were created in the order of their code, not of the screen, where
    // Feedback stands left of Help and Close.
    setTabOrder(d->feedbackButton, d->ibHelp);
    setTabOrder(d->ibHelp, d->ibClose);
    // Most starts reopen a recent project, so the list holds the focus when there is one.
    if (d->projectList->count() > 0)
        d->projectList->setFocus(Qt::OtherFocusReason);
    else
        d->newProjectButton->setFocus(Qt::OtherFocusReason);
}

void VkStartupDlg::fillAspectRatios()
{
    QList<AspectRatioEntry> entries;
    d->library->aspectRatios(entries);
    for (const AspectRatioEntry& entry : qAsConst(entries))
        d->aspectRatioCombo->addItem(QIcon(), entry.label, entry.type);
}

void VkStartupDlg::initConnects()
{
    auto* deleteKey = new QShortcut(QKeySequence(Qt::Key_Delete), this);
    deleteKey->setContext(Qt::ApplicationShortcut);
    connect(deleteKey, &QShortcut::activated, this, [this] {
        // Taken before the first removal, which changes the list under it.
        const QList<QListWidgetItem*> selected = d->projectList->selectedItems();
        for (QListWidgetItem* item : selected) {
            if (auto* row = qobject_cast<VkStartupListItem*>(d->projectList->itemWidget(item)))
                emit row->sigRemoveItem();
        }
    });
    connect(d->newProjectButton, &QPushButton::clicked, this, &VkStartupDlg::slotNewProject);
    connect(d->openProjectButton, &QPushButton::clicked, this, &VkStartupDlg::slotOpenProjectButtonClicked);
    connect(d->findEdit, SIGNAL(textChanged(const QString&)), this, SLOT(slotFindTextChanged(QString)));
    connect(d->projectList, &QListWidget::itemDoubleClicked, this, &VkStartupDlg::slotItemDoubleClicked);
    auto* listKeys = new VkStartupListKeys(d->projectList);
    connect(listKeys, &VkStartupListKeys::sigOpenItem, this, &VkStartupDlg::slotItemDoubleClicked);
    connect(d->projectList, &QListWidget::itemSelectionChanged, this,
            &VkStartupDlg::slotItemSelectionChanged);
    connect(d->ibBuy, &QToolButton::clicked, this, &VkStartupDlg::slotBuy);
    connect(d->ibHelp, &QToolButton::clicked, this, &VkStartupDlg::slotHelp);
    connect(d->ibClose, &QToolButton::clicked, this, &VkStartupDlg::slotClose);
    connect(d->linkButton, &QToolButton::clicked, this, [] {
        VkDesktopService::openURL(VkConfig::Instance().GetCBSUrl(QStringLiteral("HelpOnlinePage")));
    });
    // Feedback has no channel yet, and the host reads the check box when the window has closed.
    connect(d->feedbackButton, &QToolButton::clicked, this, [] {});
    connect(d->showCheckBox, &QCheckBox::clicked, this, [] {});
}

void VkStartupDlg::TranslateText()
{
    doTranslateText();
}

void VkStartupDlg::doTranslateText()
{
    d->aspectRatioLabel->setText(tr("Aspect Ratio:"));
    d->aspectRatioCombo->clear();
    fillAspectRatios();
    d->newProjectLabel->setText(tr("New Project"));
    d->openProjectLabel->setText(tr("Open Project", "verb: open a project file from disk"));
    d->projectLibraryLabel->setText(tr("Project Library"));
    d->emptyTextLabel->setText(tr("Recent Projects"));
    d->ibBuy->setToolTip(tr("Purchase", "verb: buy the product"));
    d->ibHelp->setToolTip(tr("Online Help"));
    d->ibClose->setToolTip(tr("Close", "verb: close the window"));
    d->findEdit->setPlaceholderText(tr("Search", "verb: search the project library"));
    d->showCheckBox->setText(tr("Show this window when Tessel launches"));
    d->feedbackButton->setToolTip(tr("Feedback", "noun: tell us your opinion"));

    // Names for assistive technology; the icon-only tool buttons take theirs from the tips above.
    d->linkButton->setToolTip(tr("Online Help"));
    d->aspectRatioCombo->setAccessibleName(tr("Aspect Ratio"));
    d->newProjectButton->setAccessibleName(tr("New Project"));
    d->newProjectButton->setToolTip(tr("New Project"));
    d->newProjectButton->setAccessibleDescription(tr("Starts an empty project"));
    d->openProjectButton->setAccessibleName(tr("Open Project", "verb: open a project file from disk"));
    d->openProjectButton->setToolTip(tr("Open Project", "verb: open a project file from disk"));
    d->openProjectButton->setAccessibleDescription(tr("Chooses a project file on disk"));
    d->findEdit->setAccessibleName(tr("Search projects"));
    d->findButton->setToolTip(tr("Search", "verb: search the project library"));
    d->projectList->setAccessibleName(tr("Project Library"));
    d->projectList->setAccessibleDescription(
        tr("Arrow keys choose a project, Enter opens it, Delete takes it off the list"));
}

void VkStartupDlg::InitProjectLibarayList()
{
    // Pictures without a current cached copy arrive after the window is up, each as soon as it is
    // decoded; the window never waits for one.
    connect(
        d->library->thumbnailLoader(), &VkProjectThumbnailLoader::thumbnailReady, this,
        [this](const QString& source, int /*kind*/, const QImage& image) { showThumbnail(source, image); });
    QList<ProjectLibraryRecord> records;
    d->library->recentProjects(records, kMaxRecentProjects);
    for (const ProjectLibraryRecord& record : qAsConst(records)) {
        auto* item = new QListWidgetItem(nullptr, 0);
        item->setSizeHint(kRowSize);
        d->projectList->insertItem(d->projectList->count(), item);
        // The row widget draws the project; the item tells assistive technology what it is.
        item->setData(Qt::AccessibleTextRole, record.name);
        item->setData(Qt::AccessibleDescriptionRole, record.time + QStringLiteral(", ") + record.size);
        auto* row = new VkStartupListItem(record, this);
        d->projectList->setItemWidget(item, row);
        connect(row, &VkStartupListItem::sigRemoveItem, this, &VkStartupDlg::removeRow);
    }
    UpdateEmptyUI(d->projectList->count() == 0);
}

void VkStartupDlg::showThumbnail(const QString& source, const QImage& image)
{
    if (image.isNull())
        return;
    for (int i = 0; i < d->projectList->count(); ++i) {
        auto* row = qobject_cast<VkStartupListItem*>(d->projectList->itemWidget(d->projectList->item(i)));
        if (row && row->thumbnailSource() == source)
            row->setThumbnail(QPixmap::fromImage(image));
    }
}

void VkStartupDlg::UpdateEmptyUI(bool empty)
{
    d->projectList->setVisible(!empty);
    d->emptyIconLabel->setVisible(empty);
    d->emptyTextLabel->setVisible(empty);
}

void VkStartupDlg::removeRow()
{
    for (int i = 0; i < d->projectList->count(); ++i) {
        QListWidgetItem* item = d->projectList->item(i);
        auto* row = item ? qobject_cast<VkStartupListItem*>(d->projectList->itemWidget(item)) : nullptr;
        if (!row || row != sender())
            continue;
        row->setSelected(false);
        d->projectList->blockSignals(true);
        QListWidgetItem* taken = d->projectList->takeItem(d->projectList->row(item));
        // Keep the row above the removed one in view, so the user sees where the list closed up.
        if (i > 1)
            d->projectList->scrollToItem(d->projectList->item(i - 1), QAbstractItemView::EnsureVisible);
        d->projectList->blockSignals(false);
        delete taken;
        UpdateEmptyUI(d->projectList->count() == 0);
    }
}

QString VkStartupDlg::GetOpenProject()
{
    return d->library->projectPath();
}

QString VkStartupDlg::GetProjectScaleString()
{
    return QString();
}

bool VkStartupDlg::IsShowProjectListWindowCheckBoxChecked()
{
    return d->showCheckBox->isChecked();
}

bool VkStartupDlg::UseSearch()
{
    return d->useSearch;
}

void VkStartupDlg::slotNewProject()
{
    d->library->clearProjectPath();
    done(1);
}

void VkStartupDlg::slotOpenProject() {}

void VkStartupDlg::slotOpenProjectButtonClicked()
{
    if (d->library->openProjectFile())
        done(1);
}

void VkStartupDlg::slotItemDoubleClicked(QListWidgetItem* item)
{
    auto* row = qobject_cast<VkStartupListItem*>(d->projectList->itemWidget(item));
    if (row && row->recentInfo())
        d->library->setProjectFromRecent(row->recentInfo());
    done(1);
}

void VkStartupDlg::slotItemSelectionChanged()
{
    for (int i = 0; i < d->projectList->count(); ++i) {
        QListWidgetItem* item = d->projectList->item(i);
        if (!item)
            continue;
        if (auto* row = qobject_cast<VkStartupListItem*>(d->projectList->itemWidget(item)))
            row->setSelected(item->isSelected());
    }
}

// The slot's signature, with the text by value, is part of the exported interface.
void VkStartupDlg::slotFindTextChanged(QString text) // NOLINT(performance-unnecessary-value-param)
{
    if (text.isEmpty()) {
        for (int i = 0; i < d->projectList->count(); ++i) {
            if (QListWidgetItem* item = d->projectList->item(i))
                item->setHidden(false);
        }
        return;
    }
    d->useSearch = true;
    for (int i = 0; i < d->projectList->count(); ++i) {
        QListWidgetItem* item = d->projectList->item(i);
        auto* row = item ? qobject_cast<VkStartupListItem*>(d->projectList->itemWidget(item)) : nullptr;
        if (row)
            item->setHidden(row->projectName().indexOf(text, 0, Qt::CaseInsensitive) == -1);
    }
}

void VkStartupDlg::slotBuy() {}

void VkStartupDlg::slotHelp() {}

void VkStartupDlg::slotClose()
{
    done(1);
}

void VkStartupDlg::CloseByFrame()
{
    slotClose();
}

bool VkStartupDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return false;
    if (auto* label = qobject_cast<QLabel*>(watched)) {
        QPainter painter(label);
        painter.save();
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Text_Primary()));
        painter.restore();
    }
    return true;
}

void VkStartupDlg::showEvent(QShowEvent* event)
{
    VkBaseShadowDialog::showEvent(event);
}

void VkStartupDlg::resizeEvent(QResizeEvent* /*event*/)
{
    const int w = width();
    const int h = height();
    m_titleArea->setGeometry(0, 0, w, kTitleAreaHeight);
    d->topLeftLabel->setGeometry(20, 48, 140, 62);
    d->aspectRatioLabel->setGeometry(20, d->topLeftLabel->geometry().bottom() + 40, 300, 24);
    d->aspectRatioCombo->setGeometry(20, d->aspectRatioLabel->geometry().bottom() + 20, 160, 24);
    const int y0 = d->aspectRatioCombo->geometry().bottom() + 16;
    d->newProjectButton->setGeometry(20, y0, 160, 90);
    d->openProjectButton->setGeometry(d->newProjectButton->geometry().right() + 40, y0, 160, 90);
    d->newProjectLabel->setGeometry(d->newProjectButton->geometry().left(),
                                    d->newProjectButton->geometry().bottom() + 10, 160, 19);
    d->openProjectLabel->setGeometry(d->openProjectButton->geometry().left(),
                                     d->openProjectButton->geometry().bottom() + 10, 160, 19);
    d->bottomLeftLabel->setGeometry(24, h - 71, 180, 55);
    d->splitterLeft->setGeometry(399, 56, 1, 372);
    d->splitterRight->setGeometry(400, 56, 1, 372);
    d->projectLibraryLabel->setGeometry(431, 56, 180, 19);
    d->findEdit->setGeometry(680, 43, 96, 24);
    d->findButton->setGeometry(756, 47, 16, 16);
    d->projectList->setGeometry(431, 84, 344, 312);
    d->ibBuy->setGeometry(704, 4, 24, 24);
    d->ibHelp->setGeometry(736, 4, 24, 24);
    d->ibClose->setGeometry(768, 4, 24, 24);
    d->feedbackButton->setGeometry(d->ibHelp->geometry().left() - 32, 4, 24, 24);
    d->emptyIconLabel->setGeometry(559, 193, 88, 64);
    d->emptyTextLabel->setGeometry(481, 273, 245, 16);
    d->showCheckBox->setGeometry(596, 412, 180, 24);
}
