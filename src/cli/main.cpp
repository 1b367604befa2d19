#include "cli/CliCommands.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    return cardolin::cli::Run(QCoreApplication::arguments().mid(1));
}
