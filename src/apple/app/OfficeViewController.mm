#include "app/OfficeViewController.h"

#include "web/OfficeWebView.h"
#include "web/OfficeWebViewCoordinator.h"
#include "web/WKWebViewAdapter.h"

#include <memory>

using namespace norla;

@implementation OfficeViewController {
    Url _appURL;
    std::shared_ptr<OfficeWebView::Coordinator> _coordinator;
    std::shared_ptr<WebView> _webView;
}

- (instancetype)initWithAppURL:(const Url&)appURL
{
    if ((self = [super initWithNibName:nil bundle:nil]))
        _appURL = appURL;
    return self;
}

- (void)dealloc
{
    // The coordinator goes first: its observers stop before the web view they act on.
    _coordinator.reset();
    _webView.reset();
}

- (void)viewDidLoad
{
    [super viewDidLoad];
    OfficeWebView host(_appURL);
    _coordinator = host.makeCoordinator();
    _webView = host.makeWebView(_coordinator);
    auto* adapter = dynamic_cast<WKWebViewAdapter*>(_webView.get());
    if (!adapter)
        return;
    WKWebView* webView = adapter->webView();
    webView.translatesAutoresizingMaskIntoConstraints = NO;
    [self.view addSubview:webView];
    UILayoutGuide* safeArea = self.view.safeAreaLayoutGuide;
    [NSLayoutConstraint activateConstraints:@[
        [webView.topAnchor constraintEqualToAnchor:safeArea.topAnchor],
        [webView.leadingAnchor constraintEqualToAnchor:safeArea.leadingAnchor],
        [webView.trailingAnchor constraintEqualToAnchor:safeArea.trailingAnchor],
        [webView.bottomAnchor constraintEqualToAnchor:self.view.bottomAnchor],
    ]];
}

@end
