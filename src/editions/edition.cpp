#include "editions/edition.h"

namespace zolto {

const Edition kFullEdition = {
    "zolto5_c",      "zolto5_c.ini", "zolto5_c.txt", "zolto5_c",
    /*webTargets=*/true, /*headerPatterns=*/true, /*webPreview=*/true,
    /*previewBitmapFiles=*/true,
};

const Edition kBasicEdition = {
    "zolto5",        "zolto5.ini",   "zolto5.txt",   "エラー",
    /*webTargets=*/false, /*headerPatterns=*/false, /*webPreview=*/false,
    /*previewBitmapFiles=*/false,
};

}  // namespace zolto
