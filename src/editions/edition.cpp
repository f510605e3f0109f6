#include "editions/edition.h"

#include "targets/targets.h"
#include "version.h"

namespace zolto {

const Edition kFullEdition = {
    "zolto5_c",      "zolto5_c.ini", "zolto5_c.txt", "zolto5_c",
    /*webTargets=*/true, /*headerPatterns=*/true, /*webPreview=*/true,
    /*previewBitmapFiles=*/true,
    "zolto5_c バージョン " ZOLTO_VERSION "\nファイル・フォルダ・URL のためのコンテキストランチャー（完全版）",
    /*targetMacrosNeedTarget=*/true,
    SelectByHeaders,
};

const Edition kBasicEdition = {
    "zolto5",        "zolto5.ini",   "zolto5.txt",   "エラー",
    /*webTargets=*/false, /*headerPatterns=*/false, /*webPreview=*/false,
    /*previewBitmapFiles=*/false,
    "zolto5 バージョン " ZOLTO_VERSION "\nファイル・フォルダのためのコンテキストランチャー（基本版）",
    /*targetMacrosNeedTarget=*/false,
    SelectByExtension,
};

}  // namespace zolto
