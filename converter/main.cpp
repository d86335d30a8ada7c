#include "converter/CDu2RorApp.h"

int main(int argc, char** argv)
{
    folyant::converter::CDu2RorApp application;
    return application.InitInstance(argc, argv);
}
