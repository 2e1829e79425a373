#include <vkwidgets/VkFileDialog.h>

#include <QFileDialog>
#include <QPointer>

QString VkFileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                      const QString& filter, QString* selectedFilter)
{
    // The parent may go away while the chooser runs; then so does the chooser.
    QPointer<QFileDialog> dialog = new QFileDialog(parent, caption, dir, filter);
    dialog->setObjectName(QStringLiteral("VkFileDialog"));
    // Qt's own chooser: styled like the product and answerable on every platform plug-in.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (selectedFilter && !selectedFilter->isEmpty())
        dialog->selectNameFilter(*selectedFilter);

    QString path;
    if (dialog->exec() == QDialog::Accepted && dialog) {
        const QStringList files = dialog->selectedFiles();
        if (!files.isEmpty())
            path = files.constFirst();
        if (selectedFilter)
            *selectedFilter = dialog->selectedNameFilter();
    }
    delete dialog.data();
    return path;
}
