// Resource numbers shared by the resource script and the window.
#define IDI_ALMANORIA 1
#define IDI_PICTURE 2
