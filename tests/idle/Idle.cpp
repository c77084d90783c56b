// A small program that only waits: several copies of it stand for processes of one executable.
#include <windows.h>

int main()
{
    Sleep(120000);
    return 0;
}
