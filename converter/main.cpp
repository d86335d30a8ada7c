#include "CDu2RorApp.h"

int main(int argc, char** argv)
{
    folyant::CDu2RorApp application;
    return application.InitInstance(argc, argv);
}
