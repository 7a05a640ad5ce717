// The process entry of the multi-call program.
#include "tyvar.h"

int main(int argc, char **argv)
{
    return tyvar_main(argc, argv);
}
