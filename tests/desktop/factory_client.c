/* A file manager's use of GNOME's thumbnail factory, for the desktop tests:
 *   factory_client make SIZE FILE   asks can_thumbnail, generate_thumbnail (which runs the
 *                                   installed thumbnailer in its sandbox) and save_thumbnail,
 *                                   reads the saved thumbnail back and prints
 *                                   "WIDTHxHEIGHT TL TR BL BR" (the colour at each quadrant's
 *                                   centre as RRGGBB); exit 1 when a step fails
 *   factory_client fail SIZE FILE   exit 0 when the factory cannot make a thumbnail and records
 *                                   the failure so that it is not tried again
 *   factory_client lookup SIZE FILE exit 0 when the cache holds a valid, fresh thumbnail
 *   factory_client show SIZE FILE   reads the cached thumbnail as `make` does, without making it
 * SIZE is normal, large, x-large or xx-large; the MIME type is the one the desktop sniffs. */
#define GNOME_DESKTOP_USE_UNSTABLE_API
#include <gio/gio.h>
#include <libgnome-desktop/gnome-desktop-thumbnail.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

static GnomeDesktopThumbnailSize size_of(const char *name) {
  if (strcmp(name, "large") == 0) return GNOME_DESKTOP_THUMBNAIL_SIZE_LARGE;
  if (strcmp(name, "x-large") == 0) return GNOME_DESKTOP_THUMBNAIL_SIZE_XLARGE;
  if (strcmp(name, "xx-large") == 0) return GNOME_DESKTOP_THUMBNAIL_SIZE_XXLARGE;
  return GNOME_DESKTOP_THUMBNAIL_SIZE_NORMAL;
}

static void print_colour(GdkPixbuf *pixbuf, int x, int y) {
  const guchar *p = gdk_pixbuf_read_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                    x * gdk_pixbuf_get_n_channels(pixbuf);
  printf(" %02X%02X%02X", p[0], p[1], p[2]);
}

/* Reads the saved thumbnail as a file manager would and checks what the cache standard asks of it. */
static int check_saved(const char *uri, time_t mtime, GnomeDesktopThumbnailSize size) {
  char *path = gnome_desktop_thumbnail_path_for_uri(uri, size);
  GError *error = NULL;
  GdkPixbuf *saved = gdk_pixbuf_new_from_file(path, &error);
  if (saved == NULL) {
    fprintf(stderr, "factory_client: %s: %s\n", path, error->message);
    return 1;
  }
  const char *saved_uri = gdk_pixbuf_get_option(saved, "tEXt::Thumb::URI");
  const char *saved_mtime = gdk_pixbuf_get_option(saved, "tEXt::Thumb::MTime");
  if (!gnome_desktop_thumbnail_is_valid(saved, uri, mtime)) {
    fprintf(stderr, "factory_client: %s: not valid for %s (URI %s, MTime %s)\n", path, uri,
            saved_uri ? saved_uri : "-", saved_mtime ? saved_mtime : "-");
    return 1;
  }
  const int w = gdk_pixbuf_get_width(saved), h = gdk_pixbuf_get_height(saved);
  printf("%dx%d", w, h);
  print_colour(saved, w / 4, h / 4);
  print_colour(saved, 3 * w / 4, h / 4);
  print_colour(saved, w / 4, 3 * h / 4);
  print_colour(saved, 3 * w / 4, 3 * h / 4);
  printf("\n");
  g_object_unref(saved);
  g_free(path);
  return 0;
}

int main(int argc, char **argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: factory_client make|fail|lookup|show normal|large|x-large|xx-large FILE\n");
    return 2;
  }
  const char *mode = argv[1];
  const GnomeDesktopThumbnailSize size = size_of(argv[2]);
  GFile *file = g_file_new_for_commandline_arg(argv[3]);
  char *uri = g_file_get_uri(file);
  GError *error = NULL;
  GFileInfo *info = g_file_query_info(file, "standard::content-type,time::modified", 0, NULL, &error);
  if (info == NULL) {
    fprintf(stderr, "factory_client: %s: %s\n", argv[3], error->message);
    return 1;
  }
  const char *mime = g_file_info_get_content_type(info);
  const time_t mtime = (time_t)g_file_info_get_attribute_uint64(info, "time::modified");
  GnomeDesktopThumbnailFactory *factory = gnome_desktop_thumbnail_factory_new(size);

  if (strcmp(mode, "lookup") == 0) {
    char *found = gnome_desktop_thumbnail_factory_lookup(factory, uri, mtime);
    if (found == NULL) fprintf(stderr, "factory_client: %s: no fresh thumbnail in the cache\n", argv[3]);
    return found != NULL ? 0 : 1;
  }
  if (strcmp(mode, "show") == 0) return check_saved(uri, mtime, size);
  if (!gnome_desktop_thumbnail_factory_can_thumbnail(factory, uri, mime, mtime)) {
    fprintf(stderr, "factory_client: %s: no thumbnailer for %s\n", argv[3], mime);
    return 1;
  }
  GdkPixbuf *pixbuf = gnome_desktop_thumbnail_factory_generate_thumbnail(factory, uri, mime, NULL, &error);
  if (strcmp(mode, "fail") == 0) {
    if (pixbuf != NULL) {
      fprintf(stderr, "factory_client: %s: a thumbnail where none was expected\n", argv[3]);
      return 1;
    }
    g_clear_error(&error);
    if (!gnome_desktop_thumbnail_factory_create_failed_thumbnail(factory, uri, mtime, NULL, &error)) return 1;
    return gnome_desktop_thumbnail_factory_has_valid_failed_thumbnail(factory, uri, mtime) ? 0 : 1;
  }
  if (pixbuf == NULL) {
    fprintf(stderr, "factory_client: %s (%s): %s\n", argv[3], mime, error ? error->message : "no thumbnail");
    return 1;
  }
  if (!gnome_desktop_thumbnail_factory_save_thumbnail(factory, pixbuf, uri, mtime, NULL, &error)) {
    fprintf(stderr, "factory_client: %s: %s\n", argv[3], error->message);
    return 1;
  }
  return check_saved(uri, mtime, size);
}
