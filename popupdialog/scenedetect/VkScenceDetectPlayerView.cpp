#include "VkScenceDetectPlayerView.h"

#include "VkScenceDetectPlayerToolBar.h"

#include <vkmediaplayer/VkMediaPlayerFactory.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>

#include <QVBoxLayout>

namespace {

constexpr QSize kPlayerSize{816, 462};
constexpr int kToolBarHeight = 42;

} // namespace

VkScenceDetectPlayerView::VkScenceDetectPlayerView(QWidget* parent)
    : VkWidget(parent)
{
    m_playerWidget = mediaPlayerFactory()->createPlayerWidget(this);
    // A minimum, not a fixed size: the preview grows with the window.
    m_playerWidget->setMinimumSize(kPlayerSize);
    m_toolBar = new VkScenceDetectPlayerToolBar(this);
    m_toolBar->setFixedHeight(kToolBarHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 16);
    layout->setSpacing(16);
    layout->addWidget(m_playerWidget, 1);
    layout->addWidget(m_toolBar);
}

VkScenceDetectPlayerView::~VkScenceDetectPlayerView() = default;

void VkScenceDetectPlayerView::setPlayerPresenter(VkMediaPlayerPresenter* presenter)
{
    m_playerWidget->setPresenter(presenter);
    m_toolBar->setPlayerPresenter(presenter);
}
