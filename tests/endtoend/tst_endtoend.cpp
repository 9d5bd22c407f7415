#include "testsupport.h"
#include <QtTest>
class TestEndToEnd : public QObject
{
    Q_OBJECT
};
HELICART_GUI_TEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
