/* Stands in for the system-information tool in the Windows check: when started, it writes
 * started.txt beside itself with its command line and the window state it was asked for,
 * and ends. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(void)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    char *slash = strrchr(path, '\\');
    if (!slash || (size_t)(slash - path) + sizeof "\\started.txt" > sizeof path)
        return 1;
    strcpy(slash, "\\started.txt");

    STARTUPINFOA start;
    GetStartupInfoA(&start);
    FILE *out = fopen(path, "a");
    if (!out)
        return 1;
    fprintf(out, "command line: %s\nshow: %d\n", GetCommandLineA(),
            (start.dwFlags & STARTF_USESHOWWINDOW) ? start.wShowWindow : -1);
    fclose(out);
    return 0;
}
