/* The profile library: the program's stores and folder utilities behind a
 * plain C interface, linked by name at load.
 *
 * Every operation returns an int. Strings are zero-terminated single-byte
 * (Windows-1252) texts; output buffers have the size the caller names (260
 * where no size is passed). Integer operations take the radix, always 10.
 *
 * Stores:
 *   - profile files addressed by bare name (KELDORAN.INI) live in the
 *     Windows folder ($KELDORAN_WINDIR, else the per-user configuration
 *     folder of the program), with the semantics of Windows profile files;
 *   - the user configuration store, the log-book counters, the window
 *     placements and the graph settings live in the user configuration
 *     folder "USERCONF" of the program folder (the current directory);
 *   - album files "VELM%04d.ALB" live in the log-book folder named by
 *     KELDORAN.INI "Config"/"Log Dir", or at the path the caller gives.
 */
#ifndef KELDORAN_VELM_H
#define KELDORAN_VELM_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(VELM_BUILDING)
#    define VELM_API __declspec(dllexport)
#  else
#    define VELM_API __declspec(dllimport)
#  endif
#else
#  define VELM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Window placement, laid out as Windows' WINDOWPLACEMENT (44 bytes). */
typedef struct VelmWindowPlacement {
  uint32_t length; /* 44 when filled, 0 when nothing is stored */
  uint32_t flags;
  uint32_t showCmd;
  int32_t minX, minY, maxX, maxY;
  int32_t left, top, right, bottom;
} VelmWindowPlacement;

/* Graph configuration record, 636 bytes, integers little-endian. */
typedef struct VelmGraphConf {
  int32_t Flags;
  int32_t Reserved;
  int32_t LeftWallColor[3];   /* red, green, blue */
  int32_t BottomWallColor[3];
  char ImageFile[260];
  /* BackColor, PanelColor, GradStartColor, GradEndColor, GridColor,
   * LegendColor, CursorColor; each red, green, blue. */
  int32_t Colors[7][3];
  char GradFile[260];
} VelmGraphConf;

/* Graph line record, 20 bytes. */
typedef struct VelmGraphLine {
  int32_t InUse; /* written as 1, ignored when read */
  int32_t Red, Green, Blue;
  int32_t Width;
} VelmGraphLine;

/* Album entry record, 288 bytes. */
typedef struct VelmAlbumData {
  int32_t Kind;       /* 1 picture, 2 movie */
  char Comment[21];   /* at most 20 characters */
  char Capture[260];  /* "VIDE%04d.JPG" for a movie, empty for a picture */
  char Padding[3];
} VelmAlbumData;

/* Returned by get_album_prof_data when the album has no record under the key. */
#define VELM_NO_ALBUM_DATA (-2004)

/* Folder utilities. */
VELM_API int make_pathname(const char* folder, const char* name, char* out);
VELM_API int set_null(char* text);
VELM_API int blk_del(char* text);
VELM_API int delete_dir(const char* folder);
VELM_API int CopyDir(const char* source, const char* target);

/* Profile files (KELDORAN.INI). get_prof_path: 1 found, 0 key absent. */
VELM_API int get_prof_path(const char* section, const char* key, const char* ini, int size,
                           char* out);
VELM_API int set_prof_path(const char* section, const char* key, const char* value,
                           const char* ini);
VELM_API int get_prof_int(const char* section, const char* key, int radix, const char* ini);
VELM_API int set_prof_int(const char* section, const char* key, int radix, int value,
                          const char* ini);

/* User configuration store. A null key and value empty the section. */
VELM_API int get_uconf_string(const char* section, const char* key, int size, char* out);
VELM_API int set_uconf_string(const char* section, const char* key, const char* value);
VELM_API int get_uconf_int(const char* section, const char* key, int radix);
VELM_API int set_uconf_int(const char* section, const char* key, int radix, int value);
VELM_API int get_uconf_index_data(const char* section, int index, int size, char* out);
VELM_API int set_uconf_index_data(const char* section, int index, const char* text);
VELM_API int path_uconf_dir(char* out);

/* Log-book counters. */
VELM_API int get_log_int(const char* section, const char* key, int radix);
VELM_API int set_log_int(const char* section, const char* key, int radix, int value);

/* Window placements: get always fills the record (length 0 = none stored). */
VELM_API int get_window_place(const char* name, VelmWindowPlacement* placement);
VELM_API int set_window_place(const char* name, const VelmWindowPlacement* placement);

/* Graph settings; get fills defaults when nothing is stored and returns 0. */
VELM_API int get_graph_conf(VelmGraphConf* conf);
VELM_API int set_graph_conf(const VelmGraphConf* conf);
VELM_API int get_graph_line(int line, VelmGraphLine* record);
VELM_API int set_graph_line(int line, const VelmGraphLine* record);

/* Album files. A null path means "VELM%04d.ALB" of `id` in the log-book folder. */
VELM_API int get_album_prof_int(int id, const char* section, const char* key, int radix,
                                const char* path);
VELM_API int set_album_prof_int(int id, const char* section, const char* key, int radix,
                                int value, const char* path);
VELM_API int get_album_prof_idx_data(int id, const char* section, int index, int size,
                                     char* out, const char* path);
VELM_API int set_album_prof_idx_data(int id, const char* section, int index, const char* name,
                                     const char* path);
VELM_API int get_album_prof_data(int id, const char* name, VelmAlbumData* data,
                                 const char* path);
VELM_API int set_album_prof_data(int id, const char* name, const VelmAlbumData* data,
                                 const char* path);

#ifdef __cplusplus
}
#endif

#endif /* KELDORAN_VELM_H */
