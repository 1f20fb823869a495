/* A fresh folder for the files that a C test program writes, removed with its files at the end.
 * Needs POSIX (the test programs are built with _POSIX_C_SOURCE). */
#ifndef VELORIUM_TESTS_CAPI_C_SCRATCH_DIR_H
#define VELORIUM_TESTS_CAPI_C_SCRATCH_DIR_H

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef struct {
  char path[512];
} ScratchDir;

/* Makes the folder under $TMPDIR (or /tmp); 0 when that fails. */
static inline int scratch_dir_make(ScratchDir* dir) {
  const char* base = getenv("TMPDIR");
  if (base == NULL || base[0] == '\0') base = "/tmp";
  if (snprintf(dir->path, sizeof dir->path, "%s/velorium_c_XXXXXX", base) >=
      (int)sizeof dir->path) {
    return 0;
  }
  return mkdtemp(dir->path) != NULL;
}

/* The path of a file in the folder (a static buffer per call site is the caller's business).
 * A path that does not fit gives an empty text, which names no file, rather than a cut one
 * that could name another. */
static inline const char* scratch_dir_file(const ScratchDir* dir, const char* name, char* out,
                                           size_t out_size) {
  int written = snprintf(out, out_size, "%s/%s", dir->path, name);
  if (written < 0 || (size_t)written >= out_size) out[0] = '\0';
  return out;
}

static inline int scratch_dir_has_file(const ScratchDir* dir, const char* name) {
  char path[600];
  return access(scratch_dir_file(dir, name, path, sizeof path), F_OK) == 0;
}

/* Reads up to out_size - 1 bytes of a file of the folder into out, ended by a zero byte; the
 * number of bytes read, or -1 when the file cannot be opened. */
static inline long scratch_dir_read_file(const ScratchDir* dir, const char* name, char* out,
                                         size_t out_size) {
  char path[600];
  size_t length;
  FILE* file = fopen(scratch_dir_file(dir, name, path, sizeof path), "rb");
  if (file == NULL) return -1;
  length = fread(out, 1, out_size - 1, file);
  out[length] = '\0';
  fclose(file);
  return (long)length;
}

/* Removes every file of the folder, then the folder. */
static inline void scratch_dir_remove(const ScratchDir* dir) {
  char path[600];
  struct dirent* entry;
  DIR* folder = opendir(dir->path);
  if (folder != NULL) {
    while ((entry = readdir(folder)) != NULL) {
      if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
      unlink(scratch_dir_file(dir, entry->d_name, path, sizeof path));
    }
    closedir(folder);
  }
  rmdir(dir->path);
}

#endif /* VELORIUM_TESTS_CAPI_C_SCRATCH_DIR_H */
