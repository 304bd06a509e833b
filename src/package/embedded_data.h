#pragma once
// Symbols of the embedded files; the build generates their definitions (embedded_data.cpp).
extern "C" {
extern const unsigned char lumba_res_ffmpeg[];
extern const unsigned char lumba_res_ffmpeg_end[];
extern const unsigned char lumba_res_flvmdi[];
extern const unsigned char lumba_res_flvmdi_end[];
extern const unsigned char lumba_res_reswmv[];
extern const unsigned char lumba_res_reswmv_end[];
}
