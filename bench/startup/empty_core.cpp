// Anchor of the command-line tool's start-up: an empty QCoreApplication that ends at once.
#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return 0;
}
