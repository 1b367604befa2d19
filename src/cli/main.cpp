#include "cli/CliCommands.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    cardolin::platform::IgnoreFileSizeSignal();
    QCoreApplication application(argc, argv);
    return cardolin::cli::Run(QCoreApplication::arguments().mid(1));
}
