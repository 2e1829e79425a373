#pragma once

#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkWidgetsExport.h>

class QAbstractButton;
class QLabel;
class QUrl;

// The product's message box: a frameless dialog (object name "VMessageDialog") with a message and
// the chosen standard buttons. Links in a rich-text message open in the system browser, for the
// http, https and mailto schemes only. Like QMessageBox it announces itself to assistive
// technology as an alert when shown, with its title as accessible name and the message (as plain
// text) as accessible description.
class VKWIDGETS_EXPORT VMessageDialog : public VkFramelessDialog
{
    Q_OBJECT
public:
    // Flags, combined with |. OK and Yes accept the dialog, Cancel and No reject it.
    enum VStandardButton
    {
        NoButton = 0,
        Ok = 1,
        Cancel = 2,
        OkCancel = 3,
        Yes = 4,
        No = 8,
        YesNo = 12,
    };

    // buttons: no flag set means OK. title, acceptText, rejectText: empty gives the defaults
    // ("Information", "OK"/"Yes", "Cancel"/"No"). richText: the message is HTML (links allowed);
    // otherwise it is shown as plain text.
    VMessageDialog(const QString& text, QWidget* parent, int buttons, const QString& title,
                   const QString& acceptText, const QString& rejectText, bool richText);
    ~VMessageDialog() override;

    QString Text() const;
    QLabel* MessageLabel() const;
    // The button of one flag (object name "VMessageDialog_Button_<flag>"), or null.
    QAbstractButton* Button(VStandardButton which) const;

    // Runs a message box modally; true when it was accepted (OK or Yes).
    static bool Infomation(const QString& text, QWidget* parent,
                           const VMessageDialog::VStandardButton& buttons, const QString& title,
                           const QString& acceptText, const QString& rejectText, bool richText);
    static bool Infomation(const QString& text, QWidget* parent, int buttons, const QString& title,
                           const QString& acceptText, const QString& rejectText, bool richText);

    // An HTML link to url whose visible text is text, escaped so that it shows literally.
    static QString BuildURLMsg(const QString& text, const QString& url);

    // Whether a message link may be opened: http, https and mailto only.
    static bool IsOpenableLink(const QUrl& url);

    void RetranslateUi() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VMessageDialog)
};
