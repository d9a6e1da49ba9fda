#include "fuzz_decoder.h"
#include "images/codec_internal.h"

FLURRIX_DECODER_FUZZER(images::detail::DecodeTga)
