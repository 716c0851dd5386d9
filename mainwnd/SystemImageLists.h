#pragma once
// The desktop's file-type icons in two image lists (16 and 32 pixels) that
// the file list borrows: the lists belong to the desktop or the process, so
// the list hands them back on its way out and never deletes them. Each kind
// of file is looked up once; every later file of the same kind gets the
// same index.
//
// Every system has IconIndexForPath, IconIndexForKind, LookupCount, and
// LendTo / TakeBackFrom, which give a file list the lists and take them
// back; the rest is the system's own.

#ifdef __WXMSW__
#include "mainwnd/SystemImageLists_msw.h"
#else
#include "mainwnd/SystemImageLists_gtk.h"
#endif
