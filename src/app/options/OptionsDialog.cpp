#include "app/options/OptionsDialog.h"

#include "app/options/StringListEditor.h"
#include "support/QorRegistryEnhanced.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

template <class... Ts> struct Overloaded : Ts...
{
    using Ts::operator()...;
};

} // namespace

TForm2::TForm2(TQorRegistryEnhanced &registry, QWidget *parent) : QDialog(parent), m_registry(registry)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Options"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    // The pages are many: a list of them at the left rather than a row of tabs
    // too wide for the dialog.
    auto *body = new QHBoxLayout;
    m_pageList = new QListWidget(this);
    m_pageList->setObjectName(QStringLiteral("PageList"));
    m_pageList->setSpacing(3);
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setFrameShape(QFrame::StyledPanel);
    connect(m_pageList, &QListWidget::currentRowChanged, m_pages, &QStackedWidget::setCurrentIndex);
    BuildPages();
    m_pageList->setFixedWidth(m_pageList->sizeHintForColumn(0) + 2 * m_pageList->frameWidth() + 24);
    body->addWidget(m_pageList);
    body->addWidget(m_pages, 1);
    layout->addLayout(body);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_form3 = new TForm3(this);

    ShowEditor = [](TForm3 &editor) { return editor.exec() == QDialog::Accepted; };
    ChooseFolder = [this](const QString &start) {
        return QFileDialog::getExistingDirectory(this, tr("Common contacts book library"), start);
    };
    // Every page at its natural size; the dialog does not grow with its content.
    setFixedSize(sizeHint());
}

TForm2::~TForm2() = default;

// ---- values ----------------------------------------------------------------

void TForm2::LoadOptionsFromRegistry()
{
    ShowValues(LoadOptionsValues(m_registry, m_defFilesPath));
}

bool TForm2::SaveOptionsToRegistry()
{
    return SaveOptionsValues(m_registry, Values());
}

TOptionsValues TForm2::Values() const
{
    TOptionsValues values;
    for (const Binding &binding : m_bindings) {
        values.Settings[binding.Id] = std::visit(
            Overloaded{
                [](QCheckBox *box) { return QVariant(box->isChecked()); },
                [](QButtonGroup *group) { return QVariant(group->checkedId()); },
                [](QLineEdit *edit) { return QVariant(edit->text()); },
                [](QComboBox *list) { return QVariant(list->currentIndex() < 0 ? QString() : list->currentText()); },
            },
            binding.Widget);
    }
    values.Categories = CheckListItems(TVocabulary::Categories);
    values.Keywords = CheckListItems(TVocabulary::Keywords);
    return values;
}

void TForm2::ShowValues(const TOptionsValues &values)
{
    // A secret shown once is hidden again the next time the dialog opens.
    findChild<QCheckBox *>(QStringLiteral("ShowGoogleClientSecretCheckBox"))->setChecked(false);
    ShowSettings(values.Settings);
    ShowCheckList(TVocabulary::Categories, values.Categories);
    ShowCheckList(TVocabulary::Keywords, values.Keywords);
}

void TForm2::ShowSettings(const TSettingValues &settings)
{
    for (const Binding &binding : m_bindings) {
        const auto found = settings.find(binding.Id);
        if (found == settings.end())
            continue;
        const QVariant &value = found->second;
        std::visit(Overloaded{
                       [&](QCheckBox *box) { box->setChecked(value.toBool()); },
                       [&](QButtonGroup *group) {
                           // An item number out of range leaves no item chosen.
                           if (QAbstractButton *button = group->button(value.toInt())) {
                               button->setChecked(true);
                           } else if (QAbstractButton *chosen = group->checkedButton()) {
                               group->setExclusive(false);
                               chosen->setChecked(false);
                               group->setExclusive(true);
                           }
                       },
                       [&](QLineEdit *edit) { edit->setText(value.toString()); },
                       [&](QComboBox *list) { list->setCurrentIndex(list->findText(value.toString())); },
                   },
                   binding.Widget);
    }
    // The dependent controls follow, as a click would make them.
    StoreUserContactsBookInUserContactsFolderCheckBoxClick();
    FormatContactsCheckBoxClick();
    UseProxyServerCheckBoxClick();
    SyncActionRadioGroupClick();
}

void TForm2::ShowCheckList(TVocabulary vocabulary, const TCheckListItems &items)
{
    QListWidget *list = CheckList(vocabulary);
    list->clear();
    for (const TCheckListItem &entry : SortedCheckList(items)) {
        auto *item = new QListWidgetItem(entry.Text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
    }
}

TCheckListItems TForm2::CheckListItems(TVocabulary vocabulary) const
{
    const QListWidget *list = CheckList(vocabulary);
    TCheckListItems items;
    for (int row = 0; row < list->count(); ++row)
        items.append({list->item(row)->text(), list->item(row)->checkState() == Qt::Checked});
    return items;
}

void TForm2::ShowPage(TOptionsPage page)
{
    m_pageList->setCurrentRow(int(page));
}

void TForm2::PrepareToShow(bool bookHasContacts)
{
    ShowPage(TOptionsPage::Preferences);
    for (const VocabularyPage &page : m_vocabularies)
        page.Learn->setEnabled(bookHasContacts);
}

// ---- page handlers ---------------------------------------------------------

void TForm2::StoreUserContactsBookInUserContactsFolderCheckBoxClick()
{
    m_library->setEnabled(!m_storeInUserFolder->isChecked());
}

void TForm2::CommonContactsBookLibraryButtonedEditRightButtonClick()
{
    QString start = m_library->text();
    if (start.isEmpty() && !QFileInfo(m_lastChosenFolder).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    else if (start.isEmpty())
        start = m_lastChosenFolder;
    const QString chosen = ChooseFolder(start);
    if (chosen.isEmpty())
        return;
    m_lastChosenFolder = chosen;
    m_library->setText(QDir::toNativeSeparators(chosen));
}

void TForm2::SyncActionRadioGroupClick()
{
    m_syncDescription->setText(SyncActionDescription(m_syncAction->checkedId()));
}

void TForm2::FormatContactsCheckBoxClick()
{
    m_formatOptions->setEnabled(m_formatContacts->isChecked());
}

void TForm2::UseProxyServerCheckBoxClick()
{
    m_proxyAddress->setEnabled(m_useProxy->isChecked());
    m_proxyPort->setEnabled(m_useProxy->isChecked());
}

void TForm2::UpdateIEButtonClick()
{
    ShowSettings(SystemProxyValues());
}

void TForm2::UpdateDefaultButtonClick()
{
    PageDefaultButtonClick(TOptionsPage::Update);
}

void TForm2::PageDefaultButtonClick(TOptionsPage page)
{
    ShowSettings(PageDefaults(page));
}

void TForm2::LearnFromDataFileButtonClick(TVocabulary vocabulary)
{
    if (m_book)
        ShowCheckList(vocabulary, LearnedCheckList(*m_book, vocabulary));
}

void TForm2::EditButtonClick(TVocabulary vocabulary)
{
    m_form3->setWindowTitle(vocabulary == TVocabulary::Categories ? tr("Categories Editor") : tr("Keywords Editor"));
    m_form3->SetText(CheckListEditorText(CheckListItems(vocabulary)));
    if (ShowEditor(*m_form3))
        ShowCheckList(vocabulary, CheckListFromEditorLines(m_form3->Lines()));
}

void TForm2::DefaultButtonClick(TVocabulary vocabulary)
{
    ShowCheckList(vocabulary, DefaultCheckList(vocabulary, m_defFilesPath));
}

void TForm2::PopupMenuPopup(TVocabulary vocabulary)
{
    const TCheckListItems items = CheckListItems(vocabulary);
    const auto any = [&](bool checked) {
        return std::any_of(items.begin(), items.end(), [&](const TCheckListItem &item) { return item.Checked == checked; });
    };
    VocabularyPage &page = m_vocabularies[Index(vocabulary)];
    page.CheckAll->setEnabled(any(false));
    page.UncheckAll->setEnabled(any(true));
}

void TForm2::CheckAllClick(TVocabulary vocabulary, bool checked)
{
    QListWidget *list = CheckList(vocabulary);
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace cardolin::app
