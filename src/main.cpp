#include <QApplication>

#include "app/avvio.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    perix::avviaPerix();
    return app.exec();
}
