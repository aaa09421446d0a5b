// A loadable library without the registration entry point.
extern "C" int OrvexNoEntry()
{
    return 0;
}
