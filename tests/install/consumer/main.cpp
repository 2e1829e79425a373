// A host outside the source tree: it reads the current project's settings through the installed
// library and prints them, so a broken package (missing header, unexported symbol, unresolved
// dependency) fails here.
#include <projectsetting/VkProjectSettingPresenter.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    VkProjectSettingPresenter presenter;
    const auto ratios = presenter.GetRatioList();
    const QSize size = presenter.GetResolution();
    std::printf("ratios=%zu ratio=%d size=%dx%d rate=%s\n", ratios.size(), presenter.GetRatio(), size.width(),
                size.height(), qPrintable(presenter.getFramerateStr(VKVBLMODEL::VkProjectFrameRateType(2))));
    return ratios.size() == 8 && size == QSize(1920, 1080) ? 0 : 1;
}
