#pragma once

#include "app/options/OptionsConsequences.h"

#include <functional>
#include <memory>

namespace cardolin {
class TQorRegistryEnhanced;
class TUserAccounts;
class UserPrompts;
} // namespace cardolin

namespace cardolin::app {

class MainWindow;
class TForm2;

// The main window's Options button: shows the dialog over the stored options
// and, on OK, stores them, puts them in effect and carries out what they mean
// for the book. Cancel leaves the stored options as they were.
class OptionsCommand
{
public:
    OptionsCommand(MainWindow &window, TQorRegistryEnhanced &registry, const TUserAccounts &accounts,
                   UserPrompts &prompts);
    ~OptionsCommand();

    TForm2 &Form2() const { return *m_form2; }
    // Shows the dialog modally; true on OK. Tests answer it.
    std::function<bool(TForm2 &dialog)> ShowDialog;

    void OptionsSpeedButtonClick();

private:
    MainWindow &m_window;
    TQorRegistryEnhanced &m_registry;
    TForm2 *m_form2;
    TOptionsConsequences m_consequences;
};

} // namespace cardolin::app
