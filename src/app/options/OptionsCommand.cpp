#include "app/options/OptionsCommand.h"

#include "app/ContactCommands.h"
#include "app/MainWindow.h"
#include "app/listview/ListItemsModel.h"
#include "app/listview/QorListView.h"
#include "app/options/OptionsDialog.h"

namespace cardolin::app {

namespace {

TOptionsHost HostOf(MainWindow &window, const TUserAccounts &accounts, UserPrompts &prompts)
{
    return {
        window.QorContacts1(),
        prompts,
        accounts,
        &window.Commands().History(),
        [&window] {
            std::vector<std::pair<TContactData *, QString>> rows;
            const TListItemsModel &items = window.QorListView1()->Items();
            rows.reserve(size_t(items.Count()));
            for (int row = 0; row < items.Count(); ++row)
                rows.emplace_back(static_cast<TContactData *>(items.Item(row).Data), items.Text(row, 0));
            return rows;
        },
        [&window](const std::vector<TContactData *> &records, bool resort) { window.SyncRows(records, resort); },
        [&window](bool sort) { window.RebuildFromBook(sort); },
        [&window](bool modified) { window.SetModified(modified); },
        [&window] { window.UpdateStatus(); },
        [&window] { window.UpdateUndoActions(); },
        &window.Session().Claim(),
    };
}

} // namespace

OptionsCommand::OptionsCommand(MainWindow &window, TQorRegistryEnhanced &registry, const TUserAccounts &accounts,
                               UserPrompts &prompts)
    : m_window(window), m_registry(registry), m_form2(new TForm2(registry, &window)),
      m_consequences(HostOf(window, accounts, prompts))
{
    ShowDialog = [](TForm2 &dialog) { return dialog.exec() == QDialog::Accepted; };
}

OptionsCommand::~OptionsCommand() = default;

void OptionsCommand::OptionsSpeedButtonClick()
{
    // The dialog always starts from what is stored, so a cancelled visit
    // (list edits and Default buttons included) leaves no trace.
    m_form2->SetDefFilesPath(m_window.DefFilesPath());
    m_form2->SetBook(&m_window.QorContacts1());
    m_form2->LoadOptionsFromRegistry();
    m_form2->PrepareToShow(!m_window.QorContacts1().ContactDataList().empty());
    const TOptionsValues before = m_form2->Values();
    if (!ShowDialog(*m_form2)) {
        m_form2->LoadOptionsFromRegistry();
        return;
    }
    m_form2->SaveOptionsToRegistry();
    m_window.ActivateOptions();
    m_consequences.Confirmed(before, m_form2->Values());
}

} // namespace cardolin::app
