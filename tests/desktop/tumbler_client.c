/* A file manager's use of the thumbnail service over D-Bus, for the desktop tests:
 *   tumbler_client FLAVOR FILE...   queues the files (Queue, with the MIME types the desktop
 *                                   sniffs) and waits for the request to finish; prints each
 *                                   URI the service reported Ready, and "error URI: MESSAGE"
 *                                   for each it reported failed. Exit 0 when every file was
 *                                   Ready, 1 otherwise (also after 60 s without Finished). */
#include <gio/gio.h>
#include <stdio.h>
#include <string.h>

#define SERVICE "org.freedesktop.thumbnails.Thumbnailer1"
#define OBJECT "/org/freedesktop/thumbnails/Thumbnailer1"

typedef struct {
  guint32 handle;
  int ready;
  gboolean finished;
  GMainLoop *loop;
} Request;

static void on_signal(GDBusConnection *connection, const char *sender, const char *path, const char *interface,
                      const char *name, GVariant *parameters, gpointer data) {
  (void)connection, (void)sender, (void)path, (void)interface;
  Request *request = data;
  guint32 handle = 0;
  g_variant_get_child(parameters, 0, "u", &handle);
  if (handle != request->handle) return;
  if (strcmp(name, "Ready") == 0) {
    GVariantIter *uris = NULL;
    const char *uri = NULL;
    g_variant_get(parameters, "(uas)", &handle, &uris);
    while (g_variant_iter_next(uris, "&s", &uri)) {
      printf("%s\n", uri);
      ++request->ready;
    }
    g_variant_iter_free(uris);
  } else if (strcmp(name, "Error") == 0) {
    GVariantIter *uris = NULL;
    const char *uri = NULL, *message = NULL;
    gint32 code = 0;
    g_variant_get(parameters, "(uasi&s)", &handle, &uris, &code, &message);
    while (g_variant_iter_next(uris, "&s", &uri)) printf("error %s: %s\n", uri, message);
    g_variant_iter_free(uris);
  } else if (strcmp(name, "Finished") == 0) {
    request->finished = TRUE;
    g_main_loop_quit(request->loop);
  }
}

static gboolean on_timeout(gpointer data) {
  g_main_loop_quit(((Request *)data)->loop);
  return G_SOURCE_REMOVE;
}

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: tumbler_client normal|large|x-large|xx-large FILE...\n");
    return 2;
  }
  GError *error = NULL;
  GDBusConnection *bus = g_bus_get_sync(G_BUS_TYPE_SESSION, NULL, &error);
  if (bus == NULL) {
    fprintf(stderr, "tumbler_client: %s\n", error->message);
    return 1;
  }
  GVariantBuilder uris, mimes;
  g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
  g_variant_builder_init(&mimes, G_VARIANT_TYPE("as"));
  for (int i = 2; i < argc; ++i) {
    GFile *file = g_file_new_for_commandline_arg(argv[i]);
    GFileInfo *info = g_file_query_info(file, "standard::content-type", 0, NULL, &error);
    if (info == NULL) {
      fprintf(stderr, "tumbler_client: %s: %s\n", argv[i], error->message);
      return 1;
    }
    char *uri = g_file_get_uri(file);
    g_variant_builder_add(&uris, "s", uri);
    g_variant_builder_add(&mimes, "s", g_file_info_get_content_type(info));
    g_free(uri);
    g_object_unref(info);
    g_object_unref(file);
  }
  Request request = {0, 0, FALSE, g_main_loop_new(NULL, FALSE)};
  g_dbus_connection_signal_subscribe(bus, NULL, SERVICE, NULL, OBJECT, NULL, G_DBUS_SIGNAL_FLAGS_NONE, on_signal,
                                     &request, NULL);
  GVariant *reply = g_dbus_connection_call_sync(
      bus, SERVICE, OBJECT, SERVICE, "Queue", g_variant_new("(asasssu)", &uris, &mimes, argv[1], "default", 0),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 30000, NULL, &error);
  if (reply == NULL) {
    fprintf(stderr, "tumbler_client: Queue: %s\n", error->message);
    return 1;
  }
  g_variant_get(reply, "(u)", &request.handle);
  g_timeout_add_seconds(60, on_timeout, &request);
  g_main_loop_run(request.loop);
  if (!request.finished) fprintf(stderr, "tumbler_client: no Finished signal within 60 s\n");
  return request.finished && request.ready == argc - 2 ? 0 : 1;
}
