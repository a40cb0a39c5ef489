#include "platform/gtk/TextFieldFocus.h"

#include <string>

namespace lumora::gtk {
namespace {

constexpr const char* kChannel = "lumoraTextField";
constexpr const char* kFlag = "lumora-text-field-focused";

// Runs in every frame. A frame element taking the focus says nothing: the frame inside speaks
// for itself. Leaving an element says "no" before the next one says what it is.
constexpr const char* kScript = R"js((() => {
  const plain = new Set(['button', 'checkbox', 'color', 'file', 'hidden', 'image', 'radio',
                         'range', 'reset', 'submit']);
  const takesText = e => !!e && (e.isContentEditable || e.localName === 'textarea' ||
                                 (e.localName === 'input' && !plain.has(e.type)));
  const isFrame = e => !!e && (e.localName === 'iframe' || e.localName === 'frame');
  const tell = focused => window.webkit.messageHandlers.lumoraTextField.postMessage(focused);
  addEventListener('focusin', e => { if (!isFrame(e.target)) tell(takesText(e.target)); }, true);
  addEventListener('focusout', e => { if (!isFrame(e.target)) tell(false); }, true);
  addEventListener('focus', () => tell(takesText(document.activeElement)));
})();)js";

void OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer view) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  bool focused = jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
  g_object_set_data(G_OBJECT(view), kFlag, GINT_TO_POINTER(focused));
}

// A new page starts with nothing focused.
void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
  if (event == WEBKIT_LOAD_COMMITTED) g_object_set_data(G_OBJECT(view), kFlag, nullptr);
}

}  // namespace

void WatchTextFieldFocus(WebKitWebView* view) {
  WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(view);
  WebKitUserScript* script = webkit_user_script_new_for_world(
      kScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
      kProgramScriptWorld, nullptr, nullptr);
  webkit_user_content_manager_add_script(manager, script);
  webkit_user_script_unref(script);
  webkit_user_content_manager_register_script_message_handler_in_world(manager, kChannel,
                                                                       kProgramScriptWorld);
  g_signal_connect_object(manager, (std::string("script-message-received::") + kChannel).c_str(),
                          G_CALLBACK(OnMessage), view, G_CONNECT_DEFAULT);
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
}

bool TextFieldFocused(GtkWidget* widget) {
  return widget && WEBKIT_IS_WEB_VIEW(widget) && g_object_get_data(G_OBJECT(widget), kFlag);
}

}  // namespace lumora::gtk
