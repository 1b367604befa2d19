#pragma once

#include "contacts/QorContacts.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QTabWidget;

namespace cardolin {
struct ContactField;
}
namespace cardolin::platform {
class DesktopServices;
}

namespace cardolin::app {

class CheckListBox;
struct LocationPage;

// Views or edits every field of one contact on six pages. Controls are bound to
// the record's fields by name, through the field table.
class TQorContactsPropertiesBox : public QDialog
{
    Q_OBJECT
public:
    TQorContactsPropertiesBox(TQorContacts &contacts, platform::DesktopServices &desktop, QWidget *parent = nullptr);

    // Fills the controls from the record and sets the mode and caption.
    void Load(const TContactData &contact, bool Editable, const QString &Caption);
    // Copies the controls back into the record.
    void Store(TContactData &contact) const;
    TContactDialogResult Result(bool confirmed) const;

    void SetControlsState(bool Editable);
    QString DisplayDialNumber(const QString &DialNumber, const QString &CountryRegionHint, const QString &Caption);
    static QString ExtractURL(const QString &AString);
    static QString ExtractEmailAddress(const QString &AString);
    static QString ExtractSkypeAccount(const QString &AString);
    static void SwapEditCaptions(QLineEdit *Edit1, QLineEdit *Edit2);
    static void SwapComboBoxCaptions(QComboBox *ComboBox1, QComboBox *ComboBox2);

    void NotesInsertDateTimeMarkSpeedButtonClick();
    void NotesMemoDblClick(const QString &line);
    void EditPostalAddress(const LocationPage &page);
    void ShowMapPostalAddress(const char *prefix);

    // Runs the two small dialogs; tests answer them without a screen.
    std::function<int(QDialog &)> RunDialog = [](QDialog &dialog) { return dialog.exec(); };

    // Local short date and long time, the time left out at midnight; "-" for 0.
    static QString FormatBookkeepingTime(TDateTime utc);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Binding
    {
        const ContactField *field;
        QWidget *widget;
    };
    struct Vocabulary
    {
        CheckListBox *list = nullptr;
        QLineEdit *edit = nullptr;
        bool added = false;
        bool deleted = false;
        QStringList unshown; // the record's entries outside the list
    };

    void BindFields();
    void ConnectLocation(const LocationPage &page);
    void ConnectVocabulary(Vocabulary &vocabulary);
    void AddVocabularyEntry(Vocabulary &vocabulary);
    const Vocabulary &VocabularyOf(const QWidget *list) const;
    Vocabulary &VocabularyOf(const QWidget *list);
    void SwapPostalAddresses(const char *prefix1, const char *prefix2);
    bool OpenLinkBox(QLineEdit *box);
    bool Open(const QString &address);
    template <typename W> W *Control(const QString &name) const;

    TQorContacts &m_contacts;
    platform::DesktopServices &m_desktop;
    QTabWidget *m_pages;
    QDialogButtonBox *m_buttons;
    std::vector<Binding> m_bindings;
    std::vector<QLineEdit *> m_emailBoxes;
    std::vector<QLineEdit *> m_websiteBoxes;
    Vocabulary m_categories;
    Vocabulary m_keywords;
};

} // namespace cardolin::app
