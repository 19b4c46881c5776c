#include "app/WindowScreenshot.h"

#include "foundation/GRef.h"

namespace norla {

template <> struct GRefTraits<GskRenderNode> {
    static GskRenderNode* ref(GskRenderNode* node) { return gsk_render_node_ref(node); }
    static void unref(GskRenderNode* node) { gsk_render_node_unref(node); }
};

std::string saveWindowScreenshot(GtkWindow* window, const std::filesystem::path& file)
{
    auto* widget = GTK_WIDGET(window);
    int width = gtk_widget_get_width(widget);
    int height = gtk_widget_get_height(widget);
    if (width <= 0 || height <= 0)
        return "the window is not shown";
    GskRenderer* renderer = gtk_native_get_renderer(GTK_NATIVE(window));
    if (!renderer)
        return "the window has no renderer";

    auto paintable = GRef<GdkPaintable>::adopt(gtk_widget_paintable_new(widget));
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable.get(), GDK_SNAPSHOT(snapshot), width, height);
    auto node = GRef<GskRenderNode>::adopt(gtk_snapshot_free_to_node(snapshot));
    if (!node)
        return "nothing was drawn";
    graphene_rect_t bounds;
    graphene_rect_init(&bounds, 0, 0, static_cast<float>(width), static_cast<float>(height));
    auto texture = GRef<GdkTexture>::adopt(gsk_renderer_render_texture(renderer, node.get(), &bounds));
    if (!texture || !gdk_texture_save_to_png(texture.get(), file.c_str()))
        return "cannot write " + file.string();
    return {};
}

} // namespace norla
