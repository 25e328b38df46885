
export { parseDocument, layoutOf, notInstalledLayout, restartDelay };
