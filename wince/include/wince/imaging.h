// The imaging factory interfaces the shell's image loader talks to. The
// layer offers no factory (nothing in the program creates one); these are
// the shapes the loader calls through.
#pragma once

#include "wince/windows.h"

typedef DWORD PixelFormatID;
#define PixelFormat16bppARGB1555 0x00061007u
#define ImageLockModeRead 0x0001u
#define InterpolationHintDefault 3

struct ImageInfo {
  UINT Width;
  UINT Height;
  PixelFormatID PixelFormat;
  UINT Flags;
};

struct BitmapData {
  UINT Width;
  UINT Height;
  LONG Stride;
  PixelFormatID PixelFormat;
  void* Scan0;
  UINT_PTR Reserved;
};

struct IImage {
  virtual HRESULT GetImageInfo(ImageInfo* info) = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IImage() = default;
};

struct IBitmapImage {
  virtual HRESULT LockBits(const RECT* rect, UINT flags, PixelFormatID format, BitmapData* data) = 0;
  virtual HRESULT UnlockBits(const BitmapData* data) = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IBitmapImage() = default;
};

struct IImagingFactory {
  virtual HRESULT CreateImageFromBuffer(const void* buffer, UINT size, int disposalFlag, IImage** image) = 0;
  virtual HRESULT CreateBitmapFromImage(IImage* image, UINT width, UINT height, PixelFormatID format,
                                        int interpolationHint, IBitmapImage** bitmap) = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IImagingFactory() = default;
};
