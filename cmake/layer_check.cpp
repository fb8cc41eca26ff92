// Linked with one layer's whole library and the layers below it: the link
// fails when the layer calls upwards.
int main() { return 0; }
