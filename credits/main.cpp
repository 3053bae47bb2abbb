#include "form2.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto *form = new Form2;
    form->showForm();
    return app.exec();
}
