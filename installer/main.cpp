#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto *form = new Form1;
    form->showForm();
    return app.exec();
}
