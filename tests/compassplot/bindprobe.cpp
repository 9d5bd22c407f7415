// Builds one chart and says on the standard output stream whether it bound a scale plug-in.
// Whatever the binding reports goes to the standard error stream untouched.

#include "qwindrose.h"
#include "testsupport.h"

#include <QGuiApplication>

#include <iostream>

int main(int argc, char *argv[])
{
    TestSupport::useOffscreenPlatform();
    QGuiApplication app(argc, argv);
    QWindRose rose;
    std::cout << (rose.scale() ? "bound" : "unbound") << std::endl;
    return 0;
}
