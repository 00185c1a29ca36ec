#include "zyl_app.h"

int main(int argc, char** argv) {
    ZylApp app(argc, argv);
    app.InitInstance();
    return 0;
}
