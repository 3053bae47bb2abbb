#include "form2.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto *form = new PasswordForm;
    form->showForm();
    return app.exec();
}
