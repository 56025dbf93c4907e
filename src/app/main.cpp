// The designer's entry point.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("ORB-LUX Faltarillon-Designer 1.0"));
    placeholder.show();
    return app.exec();
}
